// ferrow-recorder: a simulated recorder for tests, demos and benchmarks. Answers every
// probe on the discovery port with one reply per recorder it plays, by broadcast from the
// address it is given. Prints "ready" once the port is bound; stops on SIGINT and SIGTERM.

#include "discovery/CNetImpl.h"
#include "platform/AdapterSource.h"
#include "platform/SocketApi.h"
#include "platform/StandardStreams.h"
#include "platform/TextConversion.h"
#include "tools/recorder/Recorder.h"
#include "tools/recorder/RecorderOptions.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>

namespace {

volatile std::sig_atomic_t g_stopRequested = 0;

void RequestStop(int) {
    g_stopRequested = 1;
}

// The hardware address of the interface that holds the address, as the tree shows it.
std::string MacTextOf(const std::string& address) {
    for (const ferrow::AdapterInfo& adapter : ferrow::SystemAdapterSource{}.ListAdapters()) {
        const auto& addresses = adapter.ipv4Addresses;
        if (std::find(addresses.begin(), addresses.end(), address) != addresses.end()) {
            return ferrow::Utf16ToNarrow(ferrow::FormatMacText(adapter.hardwareAddress));
        }
    }
    return {};
}

// Written under another name and renamed, so that a reader never sees it half written.
bool WriteReadyFile(const std::string& path) {
    const std::string partial = path + ".partial";
    {
        std::ofstream file(partial);
        file << "ready\n";
        if (!file) {
            return false;
        }
    }
    return std::rename(partial.c_str(), path.c_str()) == 0;
}

using ferrow::recorder::Fault;
using ferrow::recorder::RecorderOptions;

// What each reply says.
void AddReplyTextOptions(CLI::App& app, RecorderOptions& options) {
    app.add_option("-a,--address", options.address,
                   "own IPv4 address: replies are broadcast from it")
        ->required();
    app.add_option("--manufacture", options.manufacture, "the Manufacture text")
        ->capture_default_str();
    app.add_option("--model", options.model, "the Model text")->capture_default_str();
    app.add_option("--ip", options.ip, "the IP text (default: the own address)");
    app.add_option("--mac", options.mac,
                   "the MAC text (default: the hardware address of the own interface)");
    app.add_option("--http-port", options.httpPort, "the HttpPort text")->capture_default_str();
}

// How many replies go out, and how fast.
void AddPacingOptions(CLI::App& app, RecorderOptions& options) {
    app.add_option("-n,--count", options.count,
                   "recorders played: one reply each, IP texts counted up from --ip")
        ->check(CLI::Range(1, 1000000))
        ->capture_default_str();
    app.add_option("--repeat", options.repeat, "rounds of replies per probe")
        ->check(CLI::Range(1, 1000000))
        ->capture_default_str();
    app.add_option("--delay", options.delayMs, "milliseconds before answering a probe")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    app.add_option("--gap", options.gapMs, "milliseconds between two replies (and rounds)")
        ->check(CLI::NonNegativeNumber)
        ->capture_default_str();
    app.add_option("--rate", options.rate,
                   "replies per second at most, for bursts a slow reader can follow (0: as "
                   "fast as they can be sent)")
        ->check(CLI::Range(0, 10000000))
        ->capture_default_str();
}

void AddFaultOptions(CLI::App& app, RecorderOptions& options) {
    const std::map<std::string, Fault> faults{{"none", Fault::None},
                                              {"no-signature", Fault::NoSignature},
                                              {"oversize", Fault::Oversize},
                                              {"truncated", Fault::Truncated},
                                              {"nul-inside", Fault::NulInside},
                                              {"wrong-root", Fault::WrongRoot},
                                              {"duplicate-ip", Fault::DuplicateIp},
                                              {"chatty", Fault::Chatty}};
    app.add_option("--fault", options.fault,
                   "a deliberate fault in the replies: none, no-signature, oversize, "
                   "truncated, nul-inside, wrong-root, duplicate-ip, chatty (keeps answering "
                   "every --gap ms, 200 when 0, until stopped)")
        ->transform(CLI::CheckedTransformer(faults, CLI::ignore_case).description(""))
        ->option_text("MODE");
    app.add_option("--oversize-bytes", options.oversizeBytes,
                   "size of the datagrams of --fault oversize")
        ->check(CLI::Range(1, 65000))
        ->capture_default_str();
}

// Reads the command line into options, the IP and MAC texts filled in from the own address
// when not given. Returns an exit code when the run ends here: after --help, or on a usage
// error.
std::optional<int> ParseRecorderArguments(int argc, char** argv, RecorderOptions& options) {
    CLI::App app{"Plays one or many recorders that answer the discovery probe on UDP port 2900.",
                 "ferrow-recorder"};
    AddReplyTextOptions(app, options);
    AddPacingOptions(app, options);
    AddFaultOptions(app, options);
    app.add_option("--ready-file", options.readyFile, "a file written once the port is bound");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error);
    }
    if (options.ip.empty()) {
        options.ip = options.address;
    }
    if (options.mac.empty()) {
        options.mac = MacTextOf(options.address);
    }
    return std::nullopt;
}

// Binds the port, says it is ready, and answers probes until SIGINT or SIGTERM.
int PlayRecorders(const RecorderOptions& options) {
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    const ferrow::socket_api::SocketLibraryScope socketLibrary;
    if (!socketLibrary.Started()) {
        std::cerr << "ferrow-recorder: cannot start the socket library\n";
        return 1;
    }
    ferrow::recorder::Recorder recorder(options);
    std::string error;
    if (!recorder.Open(error)) {
        std::cerr << "ferrow-recorder: " << error << '\n';
        return 1;
    }
    if (!options.readyFile.empty() && !WriteReadyFile(options.readyFile)) {
        std::cerr << "ferrow-recorder: cannot write " << options.readyFile << '\n';
        return 1;
    }
    std::cout << "ready" << std::endl;
    recorder.Run([] { return g_stopRequested != 0; });
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_ALL, "");
    const ferrow::Utf8StdoutScope utf8Stdout = ferrow::PrepareStdoutForUtf8();
    RecorderOptions options;
    if (const std::optional<int> exitCode = ParseRecorderArguments(argc, argv, options)) {
        return *exitCode;
    }
    return PlayRecorders(options);
}
