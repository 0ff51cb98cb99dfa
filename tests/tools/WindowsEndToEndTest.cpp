// The Windows programs across a namespace pair, under Wine: ferrow-scan.exe finds the
// recorders of the native ferrow-recorder, one of which also answers ONVIF's probes, and the
// native ferrow-scan finds those of ferrow-recorder.exe, in every output format; a watch of
// ferrow-scan.exe ends on Ctrl+C. The Windows build's suite runs this program and names its
// .exe files in FERROW_WINDOWS_SCAN and FERROW_WINDOWS_RECORDER. ferrow-recorder.exe also serves its web page.
#include "tests/rows/OutputReaders.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/NetworkNamespace.h"
#include "tests/support/WineSession.h"
#include "tests/tools/ProgramRun.h"

#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <iterator>
#include <nlohmann/json.hpp>

namespace ferrow {
namespace {

using test::ChildProcess;
using test::ProgramRun;
using test::WineSession;

constexpr const char* kLocal = "10.62.0.1";
constexpr const char* kPeer = "10.62.0.2";
constexpr const char* kMaker = "M\xC3\xBCller & S\xC3\xB6hne"; // as the recorder is told it
constexpr const char* kModel = "NVR-8";
// A recorder that sends UTF-8 reads the same on both sides: the Windows scan reads the
// native recorder's UTF-8 bytes as UTF-8, not as its ANSI code page (1252 under Wine).
// ferrow-recorder.exe sends its text in code page 1252, which is no UTF-8: the native scan
// reads that in its own narrow set, as it reads any legacy recorder, and its UTF-8 locale
// has no character for those bytes.
constexpr const char* kMakerSeenFromWindows = "M\xEF\xBF\xBDller & S\xEF\xBF\xBDhne";

std::string FromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// Every line ends with exactly one CR LF.
bool LinesEndInOneCrLf(const std::string& text) {
    for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) {
        if (at == 0 || text[at - 1] != '\r' || (at >= 2 && text[at - 2] == '\r')) {
            return false;
        }
    }
    return !text.empty() && text.back() == '\n';
}

class WindowsEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        if (m_scanExe.empty() || m_recorderExe.empty()) {
            GTEST_SKIP() << "run by the Windows build's suite, which names the .exe files";
        }
        FERROW_ENTER_PRIVATE_NETWORK();
        std::string error;
        m_peer = test::ConnectPeer(
            {"lan0", std::string(kLocal) + "/24", std::string(kPeer) + "/24"}, error);
        ASSERT_TRUE(m_peer) << error;
    }

    // The rows both directions expect: two recorders played by one process, the first of
    // which the given protocols answered for.
    void ExpectRowsInEveryFormat(const std::vector<std::string>& scan, const std::string& maker,
                                 const std::string& firstProtocols) {
        const std::vector<std::string> first{maker,  kModel, kPeer,          "00:11:22:33:44:55",
                                             "8080", kLocal, firstProtocols, "true"};
        std::vector<std::string> second = first;
        second[2] = "10.62.0.3";
        second[6] = "UDP 2900";

        ProgramRun json = Run(scan, {"--from", kLocal, "--format", "json"});
        ASSERT_EQ(json.exitCode, 0) << json.err;
        const nlohmann::json rows = nlohmann::json::parse(json.out);
        ASSERT_EQ(rows.size(), 2u) << json.out;
        EXPECT_EQ(rows[0]["Manufacture"], maker) << "UTF-8 through a pipe";
        EXPECT_EQ(rows[1]["IP"], "10.62.0.3");

        // CSV into a file, as a redirection would write it.
        const std::string path = testing::TempDir() + "ferrow-windows-scan.csv";
        std::vector<std::string> toFile{"sh", "-c", "f=$1; shift; exec \"$@\" >\"$f\"", "sh", path};
        toFile.insert(toFile.end(), scan.begin(), scan.end());
        const ProgramRun csvRun = Run(toFile, {"--from", kLocal, "--format", "csv"});
        ASSERT_EQ(csvRun.exitCode, 0) << csvRun.err;
        std::ifstream file(path, std::ios::binary);
        const std::string csv{std::istreambuf_iterator<char>(file), {}};
        EXPECT_TRUE(LinesEndInOneCrLf(csv)) << csv;
        const std::vector<std::vector<std::string>> expected{{"Manufacture", "Model", "IP", "MAC",
                                                              "HttpPort", "LocalAddress",
                                                              "Protocol", "SameSubnet"},
                                                             first,
                                                             second};
        EXPECT_EQ(test::ParseCsv(csv), expected) << csv;

        const ProgramRun table = Run(scan, {"--from", kLocal});
        ASSERT_EQ(table.exitCode, 0) << table.err;
        const std::vector<std::string> lines = test::SplitLines(table.out);
        ASSERT_EQ(lines.size(), 4u) << table.out;
        EXPECT_EQ(lines[2].rfind(maker, 0), 0u) << lines[2];
        EXPECT_NE(lines[3].find("10.62.0.3"), std::string::npos) << lines[3];
    }

    static ProgramRun Run(std::vector<std::string> argv,
                          const std::vector<std::string>& arguments) {
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return test::RunApart(argv);
    }

    const std::vector<std::string> m_recorderOptions{
        "--address",         kPeer,         "--manufacture", kMaker,    "--model", kModel, "--mac",
        "00:11:22:33:44:55", "--http-port", "8080",          "--count", "2"};
    const std::string m_scanExe = FromEnvironment("FERROW_WINDOWS_SCAN");
    const std::string m_recorderExe = FromEnvironment("FERROW_WINDOWS_RECORDER");
    std::unique_ptr<test::NetworkNamespace> m_peer;
};

TEST_F(WindowsEndToEnd, WindowsScanFindsTheRecordersOfTheNativeRecorder) {
    std::string error;
    std::vector<std::string> options = m_recorderOptions;
    options.insert(options.end(), {"--onvif", "--onvif-mac", "00:11:22:33:44:55"});
    auto recorder = ChildProcess::StartRecorder(options, m_peer.get(), error);
    ASSERT_TRUE(recorder) << error;
    auto wine = WineSession::Open(nullptr, error);
    ASSERT_TRUE(wine) << error;
    ExpectRowsInEveryFormat(wine->Command(m_scanExe, {}), kMaker, "UDP 2900, ONVIF");
}

TEST_F(WindowsEndToEnd, NativeScanFindsTheRecordersOfTheWindowsRecorder) {
    std::string error;
    auto wine = WineSession::Open(m_peer.get(), error);
    ASSERT_TRUE(wine) << error;
    auto recorder =
        ChildProcess::Start(wine->Command(m_recorderExe, m_recorderOptions), m_peer.get(), error);
    ASSERT_TRUE(recorder) << error;
    ASSERT_TRUE(recorder->WaitForLine("ready", std::chrono::seconds(30)))
        << "ferrow-recorder.exe did not say ready: " << recorder->Output();
    ExpectRowsInEveryFormat({"env", "LC_ALL=C.UTF-8", FERROW_SCAN_PATH}, kMakerSeenFromWindows,
                            "UDP 2900");

    // Its web page, served over Winsock, names the maker in UTF-8 whatever its code page.
    httplib::Client client(kPeer, 8080);
    client.set_connection_timeout(std::chrono::seconds(30));
    client.set_read_timeout(std::chrono::seconds(30));
    const httplib::Result page = client.Get("/");
    ASSERT_TRUE(page) << httplib::to_string(page.error());
    EXPECT_NE(page->body.find("<title>M\xC3\xBCller &amp; S\xC3\xB6hne NVR-8</title>"),
              std::string::npos)
        << page->body;
}

TEST_F(WindowsEndToEnd, WindowsScanWatchesUntilCtrlC) {
    std::string error;
    auto recorder = ChildProcess::StartRecorder(m_recorderOptions, m_peer.get(), error);
    ASSERT_TRUE(recorder) << error;
    auto wine = WineSession::Open(nullptr, error);
    ASSERT_TRUE(wine) << error;
    auto watch =
        ChildProcess::Start(wine->Command(m_scanExe, {"--watch", "--interval", "2", "--from",
                                                      kLocal, "--protocol", "2900"}),
                            nullptr, error);
    ASSERT_TRUE(watch) << error;
    for (const char* ip : {kPeer, "10.62.0.3"}) {
        const std::string line = watch->NextLine(std::chrono::seconds(120)).value_or("");
        const nlohmann::json event = nlohmann::json::parse(line, nullptr, false);
        ASSERT_FALSE(event.is_discarded()) << line;
        EXPECT_EQ(event["event"], "found");
        EXPECT_EQ(event["IP"], ip);
        EXPECT_EQ(event["Manufacture"], kMaker);
    }
    // Wine hands SIGINT to the console's Ctrl+C handlers.
    EXPECT_EQ(watch->Stop(SIGINT, std::chrono::seconds(60)), 0) << watch->Output();
}

} // namespace
} // namespace ferrow
