#pragma once

#include "tools/scan/ScanOptions.h"

#include <iosfwd>
#include <vector>

namespace ferrow {

// Runs what the options ask for on this machine's adapters: rows and lists go to out,
// messages to err, progress to err when showProgress. Returns the exit code.
int RunScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err,
                   bool showProgress);

// Writes the rows in the options' format to their output file (replaced whole, see
// OutputFile.h) or, without one, to out. False, after saying why on err, when the file
// cannot be written.
bool WriteRowsOutput(const std::vector<DeviceRow>& rows, const ScanOptions& options,
                     std::ostream& out, std::ostream& err);

} // namespace ferrow
