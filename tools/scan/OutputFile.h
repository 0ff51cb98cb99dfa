#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>

namespace ferrow {

// Replaces the file at path with what write puts into the stream, so that a reader of
// path only ever sees the old contents or the whole new ones: they go to a new file in the
// same folder first, which is then renamed over path (MoveFileExW with
// MOVEFILE_REPLACE_EXISTING on Windows, as std::filesystem::rename does there). The new
// file has the permissions a newly made file gets, not the old file's.
//
// Returns false with the reason in error (to follow "cannot write PATH: ") when the new
// file cannot be made, written or renamed; path is then left as it was and the new file
// is removed. Call it from one thread at a
// time for a given path.
bool WriteFileAtomically(const std::filesystem::path& path,
                         const std::function<void(std::ostream&)>& write, std::string& error);

} // namespace ferrow
