// ferrow-scan run as a program against simulated recorders, each test in a private
// network namespace with peer namespaces joined by veth pairs.
#include "discovery/DiscoveryProtocol.h"
#include "platform/SocketApi.h"
#include "res/FerrowVersion.h"
#include "tests/rows/OutputReaders.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/NetworkNamespace.h"
#include "tests/tools/ProgramRun.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <map>
#include <netinet/in.h>
#include <nlohmann/json.hpp>
#include <sstream>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace ferrow {
namespace {

using test::ChildProcess;
using test::NetworkNamespace;

using ScanRun = test::ProgramRun;

// Runs ferrow-scan in the test's namespace with a UTF-8 locale, stdout and stderr apart.
ScanRun RunScan(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{"env", "LC_ALL=C.UTF-8", FERROW_SCAN_PATH};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return test::RunApart(argv);
}

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

class ScanCommandLine : public ::testing::Test {
protected:
    void SetUp() override {
        FERROW_ENTER_PRIVATE_NETWORK();
        if (test::RecorderPath().empty()) {
            GTEST_SKIP() << "ferrow-recorder was not built";
        }
    }

    // A peer namespace joined to this one by a veth pair: localName/localAddress here,
    // eth0/peerAddress there (both /24).
    NetworkNamespace& AddPeer(const std::string& localName, const std::string& localAddress,
                              const std::string& localMac, const std::string& peerAddress) {
        std::string error;
        auto peer = NetworkNamespace::Create(error);
        EXPECT_TRUE(peer) << error;
        test::VethOptions veth(localName, localAddress + "/24", peerAddress + "/24");
        veth.localMac = localMac;
        EXPECT_TRUE(test::ConnectVeth(*peer, veth, error)) << error;
        m_peers.push_back(std::move(peer));
        return *m_peers.back();
    }

    void StartRecorder(const NetworkNamespace& peer, const std::vector<std::string>& arguments) {
        std::string error;
        auto recorder = ChildProcess::StartRecorder(arguments, &peer, error);
        ASSERT_TRUE(recorder) << error;
        m_recorders.push_back(std::move(recorder));
    }

private:
    std::vector<std::unique_ptr<NetworkNamespace>> m_peers;
    std::vector<std::unique_ptr<ChildProcess>> m_recorders; // stopped before the peers go
};

// One recorder process playing two recorders with non-ASCII texts, answering each probe
// twice.
class OneSearch : public ScanCommandLine {
protected:
    void SetUp() override {
        ScanCommandLine::SetUp();
        if (IsSkipped()) {
            return;
        }
        NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
        StartRecorder(peer, {"--address", "10.61.0.2", "--manufacture", kMaker, "--model", kModel,
                             "--mac", "00:11:22:33:44:55", "--http-port", "8080", "--count", "2",
                             "--repeat", "2"});
    }

    static constexpr const char* kMaker = "M\xC3\xBCller & S\xC3\xB6hne, Sicherheit";
    static constexpr const char* kModel = "\xE6\x9D\xB1\xE4\xBA\xAC-8";
    const std::vector<std::string> kFirst{kMaker, kModel,      "10.61.0.2", "00:11:22:33:44:55",
                                          "8080", "10.61.0.1", "UDP 2900"};
    const std::vector<std::string> kSecond{kMaker, kModel,      "10.61.0.3", "00:11:22:33:44:55",
                                           "8080", "10.61.0.1", "UDP 2900"};
};

TEST_F(OneSearch, JsonParsesBackToTheRowsInArrivalOrder) {
    const ScanRun run = RunScan({"--from", "10.61.0.1", "--format", "json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, ""); // no progress: stderr is no terminal
    const nlohmann::json rows = nlohmann::json::parse(run.out);
    ASSERT_EQ(rows.size(), 2u) << run.out;
    const std::vector<std::string> keys{"Manufacture", "Model",        "IP",      "MAC",
                                        "HttpPort",    "LocalAddress", "Protocol"};
    for (std::size_t i = 0; i < keys.size(); ++i) {
        EXPECT_EQ(rows[0][keys[i]], kFirst[i]) << keys[i];
        EXPECT_EQ(rows[1][keys[i]], kSecond[i]) << keys[i];
    }
}

TEST_F(OneSearch, CsvParsesBackWithItsHeader) {
    const ScanRun run = RunScan({"--from", "10.61.0.1", "--format", "csv"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::vector<std::vector<std::string>> expected{
        {"Manufacture", "Model", "IP", "MAC", "HttpPort", "LocalAddress", "Protocol", "SameSubnet"},
        kFirst,
        kSecond};
    expected[1].push_back("true");
    expected[2].push_back("true");
    EXPECT_EQ(test::ParseCsv(run.out), expected) << run.out;
}

TEST_F(OneSearch, OutputGoesToTheFileWhichMustBeWritable) {
    char folder[] = "/tmp/ferrow-scan-output-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/targets.json";
    const ScanRun run =
        RunScan({"--from", "10.61.0.1", "--format", "prometheus", "--output", path});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "");
    nlohmann::json groups = nlohmann::json::parse(std::ifstream(path), nullptr, false);
    std::filesystem::remove_all(folder);
    ASSERT_EQ(groups.size(), 2u) << groups;
    EXPECT_EQ(groups[1]["targets"], nlohmann::json::array({"10.61.0.3:8080"}));
    EXPECT_EQ(groups[1]["labels"]["manufacture"], kMaker);

    const ScanRun unwritable = RunScan({"--from", "10.61.0.1", "--output", path});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("ferrow-scan: cannot write " + path + ": "), std::string::npos)
        << unwritable.err;
}

TEST_F(OneSearch, TableStaysAlignedWithNonAsciiText) {
    test::Utf8CharacterTypes characterTypes;
    if (!characterTypes.Available()) {
        GTEST_SKIP() << "the C.UTF-8 locale is not available to measure columns";
    }
    const ScanRun run = RunScan({"--from", "10.61.0.1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const std::vector<std::string> lines = test::SplitLines(run.out);
    ASSERT_EQ(lines.size(), 4u) << run.out;
    EXPECT_EQ(lines[0].rfind("Manufacture", 0), 0u);
    const std::vector<std::pair<std::string, std::string>> ipAndPort{
        {"IP Address", "Http Port"}, {"10.61.0.2", "8080"}, {"10.61.0.3", "8080"}};
    const std::vector<std::size_t> lineOf{0, 2, 3};
    for (std::size_t i = 0; i < ipAndPort.size(); ++i) {
        const std::string& line = lines[lineOf[i]];
        const std::size_t ip = line.find(ipAndPort[i].first);
        const std::size_t port = line.find(ipAndPort[i].second, ip);
        ASSERT_NE(ip, std::string::npos) << line;
        ASSERT_NE(port, std::string::npos) << line;
        const std::string maker = i == 0 ? "Manufacture" : kMaker;
        EXPECT_EQ(line.rfind(maker, 0), 0u) << line;
        // "Müller & Söhne, Sicherheit" is 26 columns, the model 6, two gaps of 2.
        EXPECT_EQ(test::LibcColumns(line.substr(0, ip)), 26 + 2 + 6 + 2) << line;
        EXPECT_EQ(test::LibcColumns(line.substr(0, port)), 36 + 10 + 2 + 17 + 2) << line;
    }
}

TEST_F(OneSearch, ProgressShowsOnlyOnATerminal) {
    std::string command =
        "env LC_ALL=C.UTF-8 " + ShellQuoted(FERROW_SCAN_PATH) + " --from 10.61.0.1 --format csv";
    std::string output;
    // script gives the program a terminal for stdout and stderr alike.
    const int status =
        test::RunProgram({"script", "-qefc", command, "/dev/null"}, nullptr, &output);
    if (status == -1) {
        GTEST_SKIP() << "script(1) could not give the program a terminal";
    }
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("Searching from 10.61.0.1 (1 of 1)"), std::string::npos) << output;
    EXPECT_NE(output.find("10.61.0.3"), std::string::npos) << output;
}

TEST_F(ScanCommandLine, AllSearchesEveryAdapterAndMergesByIpText) {
    NetworkNamespace& a = AddPeer("lan1", "10.61.1.1", "02:00:00:61:01:01", "10.61.1.2");
    NetworkNamespace& b = AddPeer("lan2", "10.61.2.1", "02:00:00:61:02:01", "10.61.2.2");
    StartRecorder(a, {"--address", "10.61.1.2", "--model", "A"});
    // Heard only from lan2: its first recorder claims the IP text that lan1's recorder has.
    StartRecorder(b,
                  {"--address", "10.61.2.2", "--ip", "10.61.1.2", "--count", "2", "--model", "B"});

    const ScanRun list = RunScan({"--list-adapters"});
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "Computer\n"
                        "  lan1 (02:00:00:61:01:01)\n"
                        "    10.61.1.1\n"
                        "  lan2 (02:00:00:61:02:01)\n"
                        "    10.61.2.1\n");

    const ScanRun run = RunScan({"--all", "--format", "json"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    const nlohmann::json rows = nlohmann::json::parse(run.out);
    ASSERT_EQ(rows.size(), 2u) << run.out;
    EXPECT_EQ(rows[0]["IP"], "10.61.1.2");
    EXPECT_EQ(rows[0]["Model"], "A");
    EXPECT_EQ(rows[0]["LocalAddress"], "10.61.1.1");
    EXPECT_EQ(rows[1]["IP"], "10.61.1.3");
    EXPECT_EQ(rows[1]["Model"], "B");
    EXPECT_EQ(rows[1]["LocalAddress"], "10.61.2.1");
    // Each search's rows are placed by the netmask of the address they came from.
    EXPECT_EQ(rows[0]["SameSubnet"], true);
    EXPECT_EQ(rows[1]["SameSubnet"], false);
}

TEST_F(ScanCommandLine, OneListHoldsTheDevicesOfBothProtocols) {
    NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    ASSERT_EQ(test::RunProgram({"ip", "address", "add", "10.61.0.5/24", "dev", "eth0"}, &peer), 0);
    StartRecorder(peer, {"--address", "10.61.0.2", "--onvif", "--model", "NVR", "--mac",
                         "00:11:22:33:44:55", "--onvif-hardware", "NVR (ONVIF)"});
    StartRecorder(peer,
                  {"--address", "10.61.0.5", "--onvif-only", "--manufacture", "Lumen", "--model",
                   "LX 200", "--onvif-xaddrs", "https://10.61.0.5/onvif/device_service"});

    // The recorder's row keeps the fields of the reply that came first, whichever that was.
    const auto rowsOf = [](const ScanRun& run) {
        std::map<std::string, std::vector<std::string>> rows;
        for (const nlohmann::json& row : nlohmann::json::parse(run.out)) {
            rows[row["IP"]] = {row["Manufacture"], row["HttpPort"], row["Protocol"]};
        }
        return rows;
    };
    const ScanRun all = RunScan({"--from", "10.61.0.1", "--format", "json"});
    EXPECT_EQ(all.exitCode, 0) << all.err;
    using Rows = std::map<std::string, std::vector<std::string>>;
    EXPECT_EQ(rowsOf(all), (Rows{{"10.61.0.2", {"Ferrow", "80", "UDP 2900, ONVIF"}},
                                 {"10.61.0.5", {"Lumen", "443", "ONVIF"}}}))
        << all.out;
    const ScanRun onvif =
        RunScan({"--from", "10.61.0.1", "--protocol", "onvif", "--format", "json"});
    EXPECT_EQ(rowsOf(onvif), (Rows{{"10.61.0.2", {"Ferrow", "80", "ONVIF"}},
                                   {"10.61.0.5", {"Lumen", "443", "ONVIF"}}}))
        << onvif.out;
    const ScanRun only2900 =
        RunScan({"--from", "10.61.0.1", "--protocol", "2900", "--format", "csv"});
    EXPECT_EQ(only2900.out,
              "Manufacture,Model,IP,MAC,HttpPort,LocalAddress,Protocol,SameSubnet\r\n"
              "Ferrow,NVR,10.61.0.2,00:11:22:33:44:55,80,10.61.0.1,UDP 2900,true\r\n");
}

// The page a row's address opens, fetched from the searching side as a browser would.
TEST_F(ScanCommandLine, TheAddressOfARowOpensThePageOfItsRecorder) {
    NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    const std::vector<std::string> recorder{
        "--address",           "10.61.0.2", "--manufacture",     "Acme <&\"> Vision", "--model",
        "M\xC3\xBCller's NVR", "--mac",     "02:00:00:61:00:02", "--http-port",       "8081"};
    std::string error;
    const auto playing = ChildProcess::StartRecorder(recorder, &peer, error);
    ASSERT_TRUE(playing) << error;
    const ScanRun run = RunScan({"--from", "10.61.0.1", "--format", "json"});
    const nlohmann::json rows = nlohmann::json::parse(run.out);
    ASSERT_EQ(rows.size(), 1u) << run.out;

    httplib::Client client(rows[0]["IP"].get<std::string>(),
                           std::stoi(rows[0]["HttpPort"].get<std::string>()));
    client.set_connection_timeout(std::chrono::seconds(10));
    client.set_read_timeout(std::chrono::seconds(10));
    const httplib::Result page = client.Get("/");
    ASSERT_TRUE(page) << httplib::to_string(page.error());
    EXPECT_EQ(page->status, 200);
    EXPECT_EQ(page->get_header_value("Content-Type"), "text/html; charset=utf-8");
    const std::string maker = "Acme &lt;&amp;&quot;&gt; Vision";
    const std::string model = "M\xC3\xBCller&#39;s NVR";
    for (const std::string& expected :
         {"<title>" + maker + " " + model + "</title>", "<dd>" + maker + "</dd>",
          "<dd>" + model + "</dd>", std::string("<dd>10.61.0.2</dd>"),
          std::string("<dd>02:00:00:61:00:02</dd>")}) {
        EXPECT_NE(page->body.find(expected), std::string::npos) << expected << "\n" << page->body;
    }

    // A second recorder cannot have the same page address: it says so and ends.
    std::vector<std::string> second{"timeout", "20", test::RecorderPath()};
    second.insert(second.end(), recorder.begin(), recorder.end());
    std::string output;
    EXPECT_EQ(test::RunProgram(second, &peer, &output), 1);
    EXPECT_NE(output.find("cannot listen on TCP port 8081 of 10.61.0.2"), std::string::npos)
        << output;
    // Its server thread stopped and joined: a clean exit (a sanitizer's report would not be).
    EXPECT_EQ(playing->Stop(), 0);
}

TEST_F(ScanCommandLine, NothingAnsweringIsStillASearch) {
    AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    const ScanRun run = RunScan({"--from", "10.61.0.1"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "No devices found.\n");
}

TEST_F(ScanCommandLine, PortHeldWithoutAddressReuseExitsThreeAndSaysWhy) {
    NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    StartRecorder(peer, {"--address", "10.61.0.2"});
    const int holder = socket(AF_INET, SOCK_DGRAM, 0);
    ASSERT_GE(holder, 0);
    const sockaddr_in address = socket_api::Ipv4SocketAddress(htonl(INADDR_ANY), kDiscoveryPort);
    ASSERT_EQ(bind(holder, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);

    const ScanRun run = RunScan({"--from", "10.61.0.1", "--format", "json"});
    close(holder);
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("port 2900 is held by another program"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("address reuse"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "") << "no search ran, so no rows are claimed";
}

TEST_F(ScanCommandLine, AnAddressOfAnotherHostExitsThreeAndSaysWhy) {
    AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    const ScanRun run = RunScan({"--from", "10.61.0.2"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("10.61.0.2: it is not an address of this machine"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("--list-adapters"), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

TEST_F(ScanCommandLine, RowsOfTheSearchesThatRanStandBesideTheFailures) {
    NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    StartRecorder(peer, {"--address", "10.61.0.2"});
    const ScanRun run = RunScan({"--from", "10.61.0.9", "--from", "10.61.0.1", "--format", "csv"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("cannot search from 10.61.0.9"), std::string::npos) << run.err;
    const auto records = test::ParseCsv(run.out);
    ASSERT_EQ(records.size(), 2u) << run.out;
    EXPECT_EQ(records[1][2], "10.61.0.2");
    EXPECT_EQ(records[1][5], "10.61.0.1");
}

TEST_F(ScanCommandLine, MoreRecordersThanAListHoldsExitFourWithTheFirstRows) {
    NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    // At a pace that even the sanitizer build reads without loss, within the 10 s bound.
    StartRecorder(peer, {"--address", "10.61.0.2", "--count", "65600", "--rate", "12000"});
    const ScanRun run = RunScan({"--from", "10.61.0.1", "--format", "csv"});
    EXPECT_EQ(run.exitCode, 4);
    EXPECT_NE(run.err.find("listed the first 65536 devices only"), std::string::npos) << run.err;
    const auto records = test::ParseCsv(run.out);
    ASSERT_EQ(records.size(), 1u + 65536u);
    EXPECT_EQ(records[1][2], "10.61.0.2");
}

TEST_F(ScanCommandLine, AllWithoutAnyAddressExitsThreeAndSaysWhy) {
    const ScanRun run = RunScan({"--all"}); // only lo here, which is never listed
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("no adapter has an IPv4 address"), std::string::npos) << run.err;
}

TEST_F(ScanCommandLine, WatchSaysFoundChangedAndGoneThenEndsOnSigtermAfterItsSearch) {
    using namespace std::chrono_literals;
    NetworkNamespace& peer = AddPeer("lan0", "10.61.0.1", "", "10.61.0.2");
    std::string error;
    // stderr joins stdout: any message among the JSON lines fails the test.
    auto watch = ChildProcess::Start({"sh", "-c", "exec \"$@\" 2>&1", "sh", "env", "LC_ALL=C.UTF-8",
                                      FERROW_SCAN_PATH, "--watch", "--interval", "2", "--from",
                                      "10.61.0.1", "--protocol", "2900"},
                                     nullptr, error);
    ASSERT_TRUE(watch) << error;
    const auto startRecorder = [&](const std::string& model) {
        auto recorder = ChildProcess::StartRecorder(
            {"--address", "10.61.0.2", "--model", model, "--mac", "00:11:22:33:44:55"}, &peer,
            error);
        EXPECT_TRUE(recorder) << error;
        return recorder;
    };
    // A round lasts about a second here, and a device is gone after three rounds.
    const auto nextLine = [&] { return watch->NextLine(60s).value_or("(no line)"); };
    const std::string row = R"("Manufacture": "Ferrow", "Model": "%", "IP": "10.61.0.2", )"
                            R"("MAC": "00:11:22:33:44:55", "HttpPort": "80", )"
                            R"("LocalAddress": "10.61.0.1", "Protocol": "UDP 2900", "SameSubnet": true})";
    const auto rowOf = [&](const std::string& event, const std::string& model) {
        std::string line = R"({"event": ")" + event + R"(", )" + row;
        return line.replace(line.find('%'), 1, model);
    };

    auto recorder = startRecorder("A");
    EXPECT_EQ(nextLine(), rowOf("found", "A"));
    recorder->Stop();
    recorder = startRecorder("B");
    EXPECT_EQ(nextLine(), rowOf("changed", "B"));
    recorder->Stop();
    EXPECT_EQ(nextLine(), R"({"event": "gone", "IP": "10.61.0.2"})");
    // Most likely within the next round's search, which ends as searches end.
    std::this_thread::sleep_for(1500ms);
    EXPECT_EQ(watch->Stop(SIGTERM, 60s), 0);
    EXPECT_EQ(watch->NextLine(1s), std::nullopt) << watch->Output();
}

TEST_F(ScanCommandLine, UsageErrorsExitTwoWithAMessage) {
    AddPeer("lan0", "10.61.0.1", "02:00:00:61:00:01", "10.61.0.2");
    const ScanRun bare = RunScan({});
    EXPECT_EQ(bare.exitCode, 2);
    EXPECT_EQ(bare.out, "Computer\n  lan0 (02:00:00:61:00:01)\n    10.61.0.1\n");
    EXPECT_NE(bare.err.find("--from ADDRESS"), std::string::npos) << bare.err;
    EXPECT_NE(bare.err.find("--all"), std::string::npos) << bare.err;

    for (const std::vector<std::string>& arguments :
         std::vector<std::vector<std::string>>{{"--from", "lan0"},
                                               {"--all", "--from", "10.61.0.1"},
                                               {"--all", "--format", "yaml"},
                                               {"--from"}}) {
        const ScanRun run = RunScan(arguments);
        EXPECT_EQ(run.exitCode, 2) << arguments[0];
        EXPECT_EQ(run.out, "");
        EXPECT_NE(run.err.find("ferrow-scan: "), std::string::npos) << run.err;
    }
}

TEST_F(ScanCommandLine, HelpAndVersion) {
    const ScanRun help = RunScan({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Usage: ferrow-scan"), std::string::npos) << help.out;
    const ScanRun version = RunScan({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, std::string(FERROW_VERSION_TEXT) + "\n");
}

} // namespace
} // namespace ferrow
