#pragma once

#include "rows/WatchedRows.h"
#include "tools/scan/ScanOptions.h"

#include <functional>
#include <iosfwd>
#include <optional>
#include <vector>

namespace ferrow {

class StopSignals;

// Called after each round of a watch with the round's events and the rows known after it.
// Returns the exit code that ends the watch, or nothing to go on.
using WatchRoundHook = std::function<std::optional<int>(const std::vector<WatchEvent>& events,
                                                        const std::vector<WatchedRow>& rows)>;

// Repeats the searches of one scan (SearchOnce) in rounds and compares the rows of each
// round, merged by IP text, with what the earlier rounds heard (WatchedRows; a row gone is
// forgotten). A round starts options.watchInterval after the start of the one before, or at
// once when that one took longer. A search that fails is said on err as a single scan says
// it, and the watch goes on; a round in which no search could run counts for no row.
// Ends with the exit code the hook gives, or with kExitSuccess once a stop is requested: a
// request during a round takes effect when the round's searches are over and the hook has
// had its events.
// Threads: everything, the hook's calls included, runs on the caller's thread; each search
// drains its sockets on threads of its own meanwhile (SearchRun). The stop is requested from
// a signal, on any thread.
int WatchRounds(const ScanOptions& options, const StopSignals& stop, std::ostream& err,
                bool showProgress, const WatchRoundHook& afterRound);

// ferrow-scan --watch: WatchRounds until the first SIGINT or SIGTERM (on Windows Ctrl+C,
// Ctrl+Break or the console's closing; see StopSignals), writing each event to out as a JSON
// line flushed at once. kExitSuccess when stopped, kExitOutput when out failed.
int RunWatchCommand(const ScanOptions& options, std::ostream& out, std::ostream& err,
                    bool showProgress);

// One event as a JSON line: {"event": "found", ...} and {"event": "changed", ...} with
// every cell of the row, {"event": "gone", "IP": ...}; flushed at once.
void WriteWatchEvent(std::ostream& out, const WatchEvent& event);

} // namespace ferrow
