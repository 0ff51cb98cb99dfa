#pragma once

// Runs a command-line program to its end with its standard output and error kept apart.

#include <string>
#include <vector>

namespace ferrow::test {

struct ProgramRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// argv as for RunProgram (ChildProcess.h), in the caller's namespace.
ProgramRun RunApart(const std::vector<std::string>& argv);

} // namespace ferrow::test
