#pragma once

#include "platform/Ipv4Address.h"
#include "rows/RowFormats.h"

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace ferrow {

enum class ScanMode {
    None,         // neither --from, --all nor --list-adapters: list, hint, usage error
    ListAdapters, // --list-adapters
    FromAddresses,
    AllAddresses,
};

inline constexpr int kDefaultWatchIntervalSeconds = 10;
inline constexpr int kShortestWatchIntervalSeconds = 2;
inline constexpr int kLongestWatchIntervalSeconds = 86400;

struct ScanOptions {
    ScanMode mode = ScanMode::None;
    std::vector<Ipv4Address> fromAddresses; // first use of each kept
    OutputFormat format = OutputFormat::Table;
    ProtocolSet protocols = ProtocolSet::All(); // --protocol
    std::string outputPath;                     // --output; empty: stdout
    bool watch = false;                         // --watch: search again and again
    // --interval: from the start of one round of searches to the start of the next.
    std::chrono::seconds watchInterval{kDefaultWatchIntervalSeconds};
};

// Exit codes of ferrow-scan.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitOutput = 1;
inline constexpr int kExitUsage = 2;
inline constexpr int kExitEndpoint = 3;
inline constexpr int kExitRowLimit = 4;

struct ParsedArguments {
    std::optional<ScanOptions> options; // empty: exit with exitCode now
    int exitCode = kExitSuccess;
};

// Parses the command line. --help and --version print to out and give exit code 0; a
// usage error prints a message and a pointer to --help to err and gives kExitUsage.
ParsedArguments ParseScanArguments(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err);

} // namespace ferrow
