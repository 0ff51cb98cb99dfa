// ferrow-recorder: a simulated recorder for tests, demos and benchmarks. Answers every
// probe on the discovery port with one reply per recorder it plays, by broadcast from the
// address it is given; when asked, also (or only) answers ONVIF WS-Discovery probes as one
// device. Serves the first recorder's web page on its HttpPort when that text is a port.
// Prints "ready" once its ports are bound; stops on SIGINT and SIGTERM.

#include "discovery/CNetImpl.h"
#include "platform/AdapterSource.h"
#include "platform/SocketApi.h"
#include "platform/StandardStreams.h"
#include "platform/TextConversion.h"
#include "tools/recorder/OnvifResponder.h"
#include "tools/recorder/PageServer.h"
#include "tools/recorder/Recorder.h"
#include "tools/recorder/RecorderOptions.h"
#include "tools/recorder/RecorderPage.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace {

// Read by the thread of each protocol; a lock-free atomic may be set in a signal handler.
std::atomic<bool> g_stopRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

void RequestStop(int) {
    g_stopRequested = true;
}

// The hardware address of the interface that holds the address, as the tree shows it.
std::string MacTextOf(const std::string& address) {
    for (const ferrow::AdapterInfo& adapter : ferrow::SystemAdapterSource{}.ListAdapters()) {
        const auto& addresses = adapter.ipv4Addresses;
        if (std::any_of(addresses.begin(), addresses.end(),
                        [&](const ferrow::AdapterAddress& held) { return held.text == address; })) {
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
using ferrow::recorder::OnvifFault;
using ferrow::recorder::OnvifOptions;
using ferrow::recorder::RecorderOptions;

// What each reply says.
void AddReplyTextOptions(CLI::App& app, RecorderOptions& options) {
    app.add_option("-a,--address", options.address, "own IPv4 address: replies leave from it")
        ->required();
    app.add_option("--manufacture", options.manufacture, "the Manufacture text")
        ->capture_default_str();
    app.add_option("--model", options.model, "the Model text")->capture_default_str();
    app.add_option("--ip", options.ip, "the IP text (default: the own address)");
    app.add_option("--mac", options.mac,
                   "the MAC text (default: the hardware address of the own interface)");
    app.add_option("--http-port", options.httpPort,
                   "the HttpPort text; when it is a TCP port, the web page is served there")
        ->capture_default_str();
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

// The ONVIF device, beside the recorders or alone. Returns the options that mean nothing
// without --onvif or --onvif-only.
std::vector<CLI::Option*> AddOnvifOptions(CLI::App& app, OnvifOptions& onvif) {
    CLI::Option* beside =
        app.add_flag("--onvif", onvif.enabled,
                     "also play an ONVIF device: answer WS-Discovery probes on UDP 3702");
    app.add_flag("--onvif-only", onvif.only,
                 "play only an ONVIF device (a camera): nothing answers on port 2900")
        ->excludes(beside);
    const std::map<std::string, OnvifFault> faults{
        {"none", OnvifFault::None},
        {"not-xml", OnvifFault::NotXml},
        {"not-probematches", OnvifFault::NotProbeMatches},
        {"oversize", OnvifFault::Oversize},
        {"many-matches", OnvifFault::ManyMatches},
        {"flood", OnvifFault::Flood}};
    return {
        app.add_option("--onvif-name", onvif.name,
                       "the ONVIF name scope (default: the Manufacture text)"),
        app.add_option("--onvif-hardware", onvif.hardware,
                       "the ONVIF hardware scope (default: the Model text)"),
        app.add_option("--onvif-mac", onvif.mac, "an ONVIF MacAddress scope (default: none)"),
        app.add_option("--onvif-xaddrs", onvif.xaddrs,
                       "the XAddrs text, whitespace-separated URLs (default: "
                       "http://ADDRESS:HTTP-PORT/onvif/device_service)"),
        app.add_option("--onvif-delay", onvif.delayMs,
                       "milliseconds before answering an ONVIF probe")
            ->check(CLI::NonNegativeNumber)
            ->capture_default_str(),
        app.add_flag("--soap11", onvif.soap11,
                     "answer ONVIF probes in a SOAP 1.1 envelope (default: SOAP 1.2)"),
        app.add_option("--onvif-fault", onvif.fault,
                       "a deliberate fault in the ONVIF answers: none, not-xml, "
                       "not-probematches (a Hello), oversize (64,000 bytes), many-matches "
                       "(over a thousand ProbeMatch elements, one IP each), flood (answers "
                       "each probe again every 20 ms until stopped)")
            ->transform(CLI::CheckedTransformer(faults, CLI::ignore_case).description(""))
            ->option_text("MODE"),
    };
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
    const std::vector<CLI::Option*> onvifDetails = AddOnvifOptions(app, options.onvif);
    app.add_option("--ready-file", options.readyFile, "a file written once the ports are bound");
    try {
        app.parse(argc, argv);
        options.onvif.enabled = options.onvif.enabled || options.onvif.only;
        for (const CLI::Option* detail : onvifDetails) {
            if (!options.onvif.enabled && detail->count() > 0) {
                throw CLI::RequiresError(detail->get_name(), "--onvif or --onvif-only");
            }
        }
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

// Binds the ports of each protocol played and of the web page, says it is ready once all
// are bound, and answers probes until SIGINT or SIGTERM; the ONVIF device and the web
// page answer on threads of their own.
int PlayDevices(const RecorderOptions& options) {
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);

    const ferrow::socket_api::SocketLibraryScope socketLibrary;
    if (!socketLibrary.Started()) {
        std::cerr << "ferrow-recorder: cannot start the socket library\n";
        return 1;
    }
    std::string error;
    std::unique_ptr<ferrow::recorder::Recorder> recorder;
    if (!options.onvif.only) {
        recorder = std::make_unique<ferrow::recorder::Recorder>(options);
        if (!recorder->Open(error)) {
            std::cerr << "ferrow-recorder: " << error << '\n';
            return 1;
        }
    }
    std::unique_ptr<ferrow::recorder::OnvifResponder> responder;
    if (options.onvif.enabled) {
        responder = std::make_unique<ferrow::recorder::OnvifResponder>(options);
        if (!responder->Open(error)) {
            std::cerr << "ferrow-recorder: " << error << '\n';
            return 1;
        }
    }
    std::unique_ptr<ferrow::recorder::PageServer> pageServer;
    if (const std::optional<std::uint16_t> port = ferrow::recorder::TcpPortOf(options.httpPort)) {
        pageServer = std::make_unique<ferrow::recorder::PageServer>(
            ferrow::recorder::BuildRecorderPage(options));
        if (!pageServer->Open(options.address, *port, error)) {
            std::cerr << "ferrow-recorder: " << error << '\n';
            return 1;
        }
        pageServer->Start();
    }
    if (!options.readyFile.empty() && !WriteReadyFile(options.readyFile)) {
        std::cerr << "ferrow-recorder: cannot write " << options.readyFile << '\n';
        return 1;
    }
    std::cout << "ready" << std::endl;

    const auto stopRequested = [] { return g_stopRequested.load(); };
    std::thread onvifThread;
    if (responder) {
        onvifThread = std::thread([&responder, &stopRequested] { responder->Run(stopRequested); });
    }
    if (recorder) {
        recorder->Run(stopRequested);
    }
    if (onvifThread.joinable()) {
        onvifThread.join();
    }
    if (pageServer) {
        pageServer->Stop();
    }
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
    return PlayDevices(options);
}
