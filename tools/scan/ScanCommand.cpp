#include "tools/scan/ScanCommand.h"

#include "discovery/SearchEnd.h"
#include "tools/scan/ProgressLine.h"
#include "tools/scan/ScanFrame.h"
#include "tools/scan/SearchFailure.h"

#include <cstdint>
#include <ostream>

namespace ferrow {
namespace {

std::string ProgressText(const std::string& address, std::size_t index, std::size_t count,
                         std::size_t found) {
    return "Searching from " + address + " (" + std::to_string(index + 1) + " of " +
           std::to_string(count) + "), " + std::to_string(found) + " found so far...";
}

int SearchAddresses(ScanFrame& frame, const std::vector<Ipv4Address>& addresses,
                    const ScanOptions& options, std::ostream& out, std::ostream& err,
                    bool showProgress) {
    std::vector<std::string> failures;
    std::size_t notStarted = 0;
    {
        ProgressLine progress(err, showProgress);
        for (std::size_t i = 0; i < addresses.size(); ++i) {
            const std::string address = addresses[i].Text();
            progress.Show(
                ProgressText(address, i, addresses.size(), frame.Results().Rows().size()));
            const SearchEnd end = frame.SearchFrom(addresses[i], options.protocols);
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
    // Rows only when something was searched: "nothing found" would be untrue otherwise.
    if (notStarted < addresses.size()) {
        WriteRows(out, frame.Results().Rows(), options.format);
    }
    if (!failures.empty()) {
        return kExitEndpoint;
    }
    return dropped > 0 ? kExitRowLimit : kExitSuccess;
}

} // namespace

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
        frame.EnumAdapters(&frame); // for the netmasks of the addresses
        return SearchAddresses(frame, options.fromAddresses, options, out, err, showProgress);
    case ScanMode::AllAddresses: {
        frame.EnumAdapters(&frame);
        const std::vector<Ipv4Address> addresses = frame.Adapters().SearchableAddresses();
        if (addresses.empty()) {
            err << "ferrow-scan: no adapter has an IPv4 address to search from "
                   "(see 'ferrow-scan --list-adapters').\n";
            return kExitEndpoint;
        }
        return SearchAddresses(frame, addresses, options, out, err, showProgress);
    }
    }
    return kExitUsage;
}

} // namespace ferrow
