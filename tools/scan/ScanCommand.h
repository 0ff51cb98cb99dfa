#pragma once

#include "tools/scan/ScanOptions.h"

#include <iosfwd>
#include <vector>

namespace ferrow {

class ScanFrame;

// Runs what the options ask for on this machine's adapters: rows and lists go to out,
// messages to err, progress to err when showProgress. Returns the exit code.
int RunScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err,
                   bool showProgress);

// Writes the rows in the options' format to their output file (replaced whole, see
// OutputFile.h) or, without one, to out. False, after saying why on err, when the file
// cannot be written.
bool WriteRowsOutput(const std::vector<DeviceRow>& rows, const ScanOptions& options,
                     std::ostream& out, std::ostream& err);

// How the searches of one scan went.
struct ScanRoundEnd {
    bool searched = false;       // a probe left from an address: the rows say what answered
    int exitCode = kExitSuccess; // as a single scan ends: kExitEndpoint or kExitRowLimit
};

// The searches of one scan, their rows into the frame: from each address of --from in turn,
// or for --all from every address the adapters have now. Failed searches, a full list and
// the lack of any address to search from are said on err, progress too when showProgress.
ScanRoundEnd SearchOnce(ScanFrame& frame, const ScanOptions& options, std::ostream& err,
                        bool showProgress);

} // namespace ferrow
