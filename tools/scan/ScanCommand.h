#pragma once

#include "tools/scan/ScanOptions.h"

#include <iosfwd>

namespace ferrow {

// Runs what the options ask for on this machine's adapters: rows and lists go to out,
// messages to err, progress to err when showProgress. Returns the exit code.
int RunScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err,
                   bool showProgress);

} // namespace ferrow
