#include "tools/scan/OutputFile.h"

#include <cerrno>
#include <fstream>
#include <random>
#include <system_error>

namespace ferrow {
namespace {

// A name beside the file's that no other writer picks: hidden, and ending in ".tmp" so
// that a pattern such as "*.json" that reads the folder never takes the half-written file.
std::filesystem::path TemporaryPathBeside(const std::filesystem::path& path) {
    std::random_device random;
    const std::string suffix = std::to_string(random()) + std::to_string(random()) + ".tmp";
    return path.parent_path() / ("." + path.filename().string() + "." + suffix);
}

// Why opening failed: the C library's errno, which the stream's open leaves behind.
std::string OpenFailure(int errorNumber) {
    return errorNumber != 0 ? std::generic_category().message(errorNumber) : "it cannot be opened";
}

} // namespace

bool WriteFileAtomically(const std::filesystem::path& path,
                         const std::function<void(std::ostream&)>& write, std::string& error) {
    const std::filesystem::path temporary = TemporaryPathBeside(path);
    std::ofstream file;
    errno = 0;
    file.open(temporary, std::ios::binary | std::ios::trunc);
    if (!file) {
        const std::filesystem::path folder =
            path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
        error = "cannot make a new file in " + folder.string() + ": " + OpenFailure(errno);
        return false;
    }
    write(file);
    file.close();
    std::error_code removed;
    if (!file) {
        error = "writing the new file failed (is the disk full?)";
        std::filesystem::remove(temporary, removed);
        return false;
    }
    std::error_code renamed;
    std::filesystem::rename(temporary, path, renamed);
    if (renamed) {
        error = "cannot rename the new file over it: " + renamed.message();
        std::filesystem::remove(temporary, removed);
        return false;
    }
    return true;
}

} // namespace ferrow
