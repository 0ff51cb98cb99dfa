#include "tests/tools/ProgramRun.h"

#include "tests/support/ChildProcess.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace ferrow::test {

ProgramRun RunApart(const std::vector<std::string>& argv) {
    char errPath[] = "/tmp/ferrow-program-err-XXXXXX";
    const int errFile = mkstemp(errPath);
    if (errFile < 0) {
        return {};
    }
    ::close(errFile);
    std::vector<std::string> wrapped{"sh", "-c", "e=$1; shift; exec \"$@\" 2>\"$e\"", "sh",
                                     errPath};
    wrapped.insert(wrapped.end(), argv.begin(), argv.end());
    ProgramRun run;
    run.exitCode = RunProgram(wrapped, nullptr, &run.out);
    std::ifstream err(errPath, std::ios::binary);
    run.err.assign(std::istreambuf_iterator<char>(err), {});
    ::unlink(errPath);
    return run;
}

} // namespace ferrow::test
