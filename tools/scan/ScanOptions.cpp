#include "tools/scan/ScanOptions.h"

#include "platform/AdapterSource.h"
#include "res/FerrowVersion.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <map>
#include <ostream>

namespace ferrow {
namespace {

const CLI::Validator kLocalIpv4Address(
    [](std::string& text) -> std::string {
        // Only the dotted form: it is later read with inet_addr, which would take "010" as
        // octal and "10.1" as 10.0.0.1.
        if (!Ipv4Address::FromDottedQuad(std::string_view(text))) {
            return "'" + text + "' is not a dotted IPv4 address such as 192.168.1.20";
        }
        if (!Ipv4Address::FromText(text).CanSearchFrom()) {
            return text +
                   " is no local address; use --list-adapters to see this machine's addresses";
        }
        return {};
    },
    "");

// Accepts the names that the map holds; the message lists them otherwise.
template <class Value>
CLI::Validator NameIn(const std::map<std::string, Value>& names, const std::string& what,
                      const std::string& choices) {
    return CLI::Validator(
        [&names, what, choices](std::string& text) -> std::string {
            if (names.count(text) == 0) {
                return "'" + text + "' is no " + what + "; use " + choices;
            }
            return {};
        },
        "");
}

const std::map<std::string, OutputFormat> kFormats{{"table", OutputFormat::Table},
                                                   {"csv", OutputFormat::Csv},
                                                   {"json", OutputFormat::Json},
                                                   {"prometheus", OutputFormat::Prometheus}};
const CLI::Validator kFormatName =
    NameIn(kFormats, "output format", "table, csv, json or prometheus");

const std::map<std::string, ProtocolSet> kProtocols{{"2900", DeviceProtocol::Udp2900},
                                                    {"onvif", DeviceProtocol::Onvif},
                                                    {"all", ProtocolSet::All()}};
const CLI::Validator kProtocolName = NameIn(kProtocols, "protocol", "2900, onvif or all");

// The addresses of the texts, the first of each kept, in order.
std::vector<Ipv4Address> AddressesWithoutRepeats(const std::vector<std::string>& texts) {
    std::vector<Ipv4Address> kept;
    for (const std::string& text : texts) {
        const Ipv4Address address = Ipv4Address::FromText(text);
        if (std::find(kept.begin(), kept.end(), address) == kept.end()) {
            kept.push_back(address);
        }
    }
    return kept;
}

// What the options write while the command line is read; ToScanOptions turns it into
// ScanOptions once the whole line has been accepted.
struct CommandLineValues {
    std::vector<std::string> fromAddresses;
    bool searchAll = false;
    bool listAdapters = false;
    std::string formatName = "table";
    std::string protocolName = "all";
    std::string outputPath;
    bool watch = false;
    int watchIntervalSeconds = kDefaultWatchIntervalSeconds;
};

void AddScanOptions(CLI::App& app, CommandLineValues& values) {
    CLI::Option* from =
        app.add_option("--from", values.fromAddresses,
                       "Search from this local IPv4 address (may be given several times)")
            ->type_name("ADDRESS")
            ->check(kLocalIpv4Address);
    CLI::Option* all = app.add_flag("--all", values.searchAll,
                                    "Search from every IPv4 address of every adapter (" +
                                        std::string(kNoIpv4Address) + " skipped)");
    CLI::Option* list = app.add_flag(
        "--list-adapters", values.listAdapters,
        "Print the adapters and their addresses as the window's tree shows them, then exit");
    CLI::Option* formatOption =
        app.add_option("--format", values.formatName, "Output format (default: table)")
            ->type_name("table|csv|json|prometheus")
            ->check(kFormatName);
    CLI::Option* outputOption =
        app.add_option("--output", values.outputPath,
                       "Write the rows to FILE instead of stdout: a new file in FILE's folder, "
                       "renamed over FILE when complete, so that a reader never sees part of it")
            ->type_name("FILE");
    CLI::Option* protocolOption =
        app.add_option("--protocol", values.protocolName,
                       "Search with the UDP port-2900 probe, ONVIF WS-Discovery, or both "
                       "(default: all)")
            ->type_name("2900|onvif|all")
            ->check(kProtocolName);
    CLI::Option* watch = app.add_flag(
        "--watch", values.watch,
        "Search again and again until stopped (Ctrl+C, SIGTERM), writing what changed as "
        "JSON lines: found, changed, gone; with --output, FILE is rewritten in --format after "
        "each round that changed the list");
    app.add_option("--interval", values.watchIntervalSeconds,
                   "With --watch: seconds from the start of one round of searches to the start "
                   "of the next (default: " +
                       std::to_string(kDefaultWatchIntervalSeconds) + ", at least " +
                       std::to_string(kShortestWatchIntervalSeconds) + ")")
        ->type_name("SECONDS")
        ->check(CLI::Range(kShortestWatchIntervalSeconds, kLongestWatchIntervalSeconds))
        ->needs(watch);
    from->excludes(all);
    list->excludes(from, all, formatOption, protocolOption, outputOption, watch);
}

// Prints why the run ends early and returns its exit code. --help and --version arrive as
// parse errors too: they print to out and succeed.
int ReportParseError(const CLI::App& app, const CLI::ParseError& error, std::ostream& out,
                     std::ostream& err) {
    if (error.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) {
        app.exit(error, out, err);
        return kExitSuccess;
    }
    err << "ferrow-scan: " << error.what() << "\nRun 'ferrow-scan --help' for the options.\n";
    return kExitUsage;
}

ScanOptions ToScanOptions(const CommandLineValues& values) {
    ScanOptions options;
    options.format = kFormats.at(values.formatName);
    options.protocols = kProtocols.at(values.protocolName);
    options.outputPath = values.outputPath;
    options.watch = values.watch;
    options.watchInterval = std::chrono::seconds(values.watchIntervalSeconds);
    if (values.listAdapters) {
        options.mode = ScanMode::ListAdapters;
    } else if (values.searchAll) {
        options.mode = ScanMode::AllAddresses;
    } else if (!values.fromAddresses.empty()) {
        options.mode = ScanMode::FromAddresses;
        options.fromAddresses = AddressesWithoutRepeats(values.fromAddresses);
    }
    return options;
}

} // namespace

ParsedArguments ParseScanArguments(int argc, const char* const* argv, std::ostream& out,
                                   std::ostream& err) {
    CLI::App app{"Finds the network video recorders and ONVIF devices on the local network: "
                 "sends the UDP port-2900 probe and the ONVIF WS-Discovery probe from each "
                 "chosen local IPv4 address in turn and lists every device that answers, one "
                 "row per device (known by its IP text; a device that answers both is one "
                 "row).",
                 "ferrow-scan"};
    app.set_version_flag("--version", FERROW_VERSION_TEXT, "Print the version and exit");
    app.footer("Exit codes: 0 the search ran (also when nothing answered); 1 the output "
               "could not be written; 2 usage error; 3 a search could not run or stopped "
               "early (its endpoint could not be opened or its read failed, or there is no "
               "address to search from); 4 the rows were written, but more devices "
               "answered than the 65536 one list holds. A watch ends with 0 when stopped; "
               "a failed search does not end it.\n"
               "Progress goes to stderr when it is a terminal; the rows go to stdout or the "
               "--output file; a watch writes JSON lines to stdout and, with --output, the "
               "list to the file.");
    CommandLineValues values;
    AddScanOptions(app, values);
    try {
        app.parse(argc, argv);
        if (values.watch && app.count("--format") > 0 && values.outputPath.empty()) {
            throw CLI::ValidationError("--format", "with --watch it needs --output: a watch "
                                                   "writes JSON lines to stdout");
        }
    } catch (const CLI::ParseError& error) {
        return {std::nullopt, ReportParseError(app, error, out, err)};
    }
    return {ToScanOptions(values), kExitSuccess};
}

} // namespace ferrow
