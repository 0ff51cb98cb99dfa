#include "tools/scan/WatchCommand.h"

#include "platform/StopSignals.h"
#include "rows/RowFormats.h"
#include "tools/scan/ScanCommand.h"
#include "tools/scan/ScanFrame.h"

#include <cstdint>
#include <ostream>

namespace ferrow {

int WatchRounds(const ScanOptions& options, const StopSignals& stop, std::ostream& err,
                bool showProgress, const WatchRoundHook& afterRound) {
    WatchedRows watched(WatchedRows::GoneRows::Forget);
    std::uint64_t droppedSaid = 0;
    while (true) {
        const auto roundStart = std::chrono::steady_clock::now();
        std::vector<WatchEvent> events;
        {
            ScanFrame frame; // fresh adapters and rows for every round
            if (SearchOnce(frame, options, err, showProgress).searched) {
                for (const DeviceRow& row : frame.Results().Rows()) {
                    watched.Hear(row);
                }
                events = watched.EndRound(std::chrono::system_clock::now());
            }
        }
        if (watched.Dropped() > droppedSaid) {
            err << "ferrow-scan: " << RowLimitText(watched.Dropped() - droppedSaid) << ".\n";
            droppedSaid = watched.Dropped();
        }
        if (const std::optional<int> exitCode = afterRound(events, watched.Rows())) {
            return *exitCode;
        }
        if (stop.WaitUntil(roundStart + options.watchInterval)) {
            return kExitSuccess;
        }
    }
}

int RunWatchCommand(const ScanOptions& options, std::ostream& out, std::ostream& err,
                    bool showProgress) {
    const StopSignals stop;
    // The list file is written after the first round and after every round that changed
    // the list; one that could not be written is tried again after the next round, so a
    // file a reader holds for a moment does not end the watch.
    bool listFileStale = !options.outputPath.empty();
    return WatchRounds(options, stop, err, showProgress,
                       [&](const std::vector<WatchEvent>& events,
                           const std::vector<WatchedRow>& rows) -> std::optional<int> {
                           for (const WatchEvent& event : events) {
                               WriteWatchEvent(out, event);
                           }
                           if (!out) {
                               return kExitOutput;
                           }
                           if (listFileStale || (!events.empty() && !options.outputPath.empty())) {
                               std::vector<DeviceRow> listed;
                               listed.reserve(rows.size());
                               for (const WatchedRow& watched : rows) {
                                   listed.push_back(watched.row);
                               }
                               listFileStale = !WriteRowsOutput(listed, options, out, err);
                           }
                           return std::nullopt;
                       });
}

void WriteWatchEvent(std::ostream& out, const WatchEvent& event) {
    switch (event.kind) {
    case WatchEventKind::Found:
        WriteJsonEventLine(out, "found", event.row, EventRowFields::Whole);
        break;
    case WatchEventKind::Changed:
        WriteJsonEventLine(out, "changed", event.row, EventRowFields::Whole);
        break;
    case WatchEventKind::Gone:
        WriteJsonEventLine(out, "gone", event.row, EventRowFields::IpOnly);
        break;
    }
    out.flush();
}

} // namespace ferrow
