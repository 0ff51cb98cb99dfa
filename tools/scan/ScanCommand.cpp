#include "tools/scan/ScanCommand.h"

#include "discovery/SearchEnd.h"
#include "tools/scan/OutputFile.h"
#include "tools/scan/ProgressLine.h"
#include "tools/scan/ScanFrame.h"
#include "tools/scan/SearchFailure.h"
#include "tools/scan/WatchCommand.h"

#include <cstdint>
#include <ostream>

namespace ferrow {
namespace {

std::string ProgressText(const std::string& address, std::size_t index, std::size_t count,
                         std::size_t found) {
    return "Searching from " + address + " (" + std::to_string(index + 1) + " of " +
           std::to_string(count) + "), " + std::to_string(found) + " found so far...";
}

ScanRoundEnd SearchAddresses(ScanFrame& frame, const std::vector<Ipv4Address>& addresses,
                             ProtocolSet protocols, std::ostream& err, bool showProgress) {
    std::vector<std::string> failures;
    std::size_t notStarted = 0;
    {
        ProgressLine progress(err, showProgress);
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            const std::string address = addresses[i].Text();
            progress.Show(
                ProgressText(address, i, addresses.size(), frame.Results().Rows().size()));
            const SearchEnd end = frame.SearchFrom(addresses[i], protocols);
            notStarted += NotStarted(end.reason) ? 1 : 0;
            if (std::string why = ExplainSearchFailure(address, end); !why.empty()) {
                failures.push_back(std::move(why));
            }
        }
    }
    for (const std::string& failure : failures) {
        err << "ferrow-scan: " << failure << '\n';
    }
    const std::uint64_t dropped = frame.Results().Dropped();
    if (dropped > 0) {
        err << "ferrow-scan: " << RowLimitText(dropped) << ".\n";
    }
    // "Nothing found" would be untrue when no search ran.
    const bool searched = notStarted < addresses.size();
    if (!failures.empty()) {
        return {searched, kExitEndpoint};
    }
    return {searched, dropped > 0 ? kExitRowLimit : kExitSuccess};
}

} // namespace

bool WriteRowsOutput(const std::vector<DeviceRow>& rows, const ScanOptions& options,
                     std::ostream& out, std::ostream& err) {
    if (options.outputPath.empty()) {
        WriteRows(out, rows, options.format);
        return true;
    }
    std::string error;
    const auto write = [&](std::ostream& file) { WriteRows(file, rows, options.format); };
    if (!WriteFileAtomically(options.outputPath, write, error)) {
        err << "ferrow-scan: cannot write " << options.outputPath << ": " << error << '\n';
        return false;
    }
    return true;
}

ScanRoundEnd SearchOnce(ScanFrame& frame, const ScanOptions& options, std::ostream& err,
                        bool showProgress) {
    frame.EnumAdapters(&frame); // the addresses of --all, the netmasks of every address
    if (options.mode == ScanMode::FromAddresses) {
        return SearchAddresses(frame, options.fromAddresses, options.protocols, err, showProgress);
    }
    const std::vector<Ipv4Address> addresses = frame.Adapters().SearchableAddresses();
    if (addresses.empty()) {
        err << "ferrow-scan: no adapter has an IPv4 address to search from "
               "(see 'ferrow-scan --list-adapters').\n";
        return {false, kExitEndpoint};
    }
    return SearchAddresses(frame, addresses, options.protocols, err, showProgress);
}

int RunScanCommand(const ScanOptions& options, std::ostream& out, std::ostream& err,
                   bool showProgress) {
    ScanFrame frame;
    switch (options.mode) {
    case ScanMode::None:
        frame.EnumAdapters(&frame);
        frame.Adapters().Write(out);
        err << "ferrow-scan: choose where to search from: --from ADDRESS (one of the "
               "addresses above) or --all. Run 'ferrow-scan --help' for the options.\n";
        return kExitUsage;
    case ScanMode::ListAdapters:
        frame.EnumAdapters(&frame);
        frame.Adapters().Write(out);
        return kExitSuccess;
    case ScanMode::FromAddresses:
    case ScanMode::AllAddresses: {
        if (options.watch) {
            return RunWatchCommand(options, out, err, showProgress);
        }
        const ScanRoundEnd end = SearchOnce(frame, options, err, showProgress);
        if (end.searched && !WriteRowsOutput(frame.Results().Rows(), options, out, err)) {
            return kExitOutput;
        }
        return end.exitCode;
    }
    }
    return kExitUsage;
}

} // namespace ferrow
