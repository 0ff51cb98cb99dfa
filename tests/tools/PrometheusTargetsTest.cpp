// ferrow-scan's targets as a real Prometheus reads them: Prometheus listens on 127.0.0.1
// inside the test's private network namespace and reads the file ferrow-scan writes through
// file_sd_configs; its HTTP API tells which targets it took.
#include "tests/support/ChildProcess.h"
#include "tests/support/NetworkNamespace.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <httplib.h>
#include <iostream>
#include <map>
#include <nlohmann/json.hpp>
#include <thread>

namespace ferrow {
namespace {

using test::ChildProcess;
using namespace std::chrono_literals;

// Instance ("IP:port") to the target's labels after Prometheus's relabelling.
using Targets = std::map<std::string, std::map<std::string, std::string>>;

constexpr int kPrometheusPort = 9090; // free: the namespace is the test's own
// Prometheus starts in seconds and reads a changed file at once (refresh_interval 1s
// besides); a shared machine under load may take many times that.
constexpr auto kPrometheusBound = 120s;

class PrometheusTargets : public ::testing::Test {
protected:
    void SetUp() override {
        FERROW_ENTER_PRIVATE_NETWORK();
        ASSERT_FALSE(test::RecorderPath().empty()) << "ferrow-recorder was not built";
        m_prometheusPath = test::FindProgram("prometheus");
        ASSERT_FALSE(m_prometheusPath.empty())
            << "Prometheus is missing: run scripts/install-deps (package prometheus)";
        char folder[] = "/tmp/ferrow-prometheus-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        m_folder = folder;
        m_targetsFile = m_folder / "recorders.json";
    }
    void TearDown() override {
        if (m_watch) {
            EXPECT_EQ(m_watch->Stop(), 0); // a watch ends with 0 when stopped
        }
        if (m_prometheus) {
            m_prometheus->Stop(); // SIGTERM: Prometheus closes its storage
        }
        m_recorders.clear();
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
    }

    void StartRecorder(const test::NetworkNamespace& peer, const std::vector<std::string>& args) {
        std::string error;
        m_recorders.push_back(ChildProcess::StartRecorder(args, &peer, error));
        ASSERT_TRUE(m_recorders.back()) << error;
    }

    // Keeps the targets file up to date with the LAN: a round of searches every 2 s, and
    // the events of each on the watch's output.
    void StartWatch() {
        std::string error;
        m_watch = ChildProcess::Start({FERROW_SCAN_PATH, "--watch", "--interval", "2", "--from",
                                       "10.62.0.1", "--format", "prometheus", "--output",
                                       m_targetsFile.string()},
                                      nullptr, error);
        ASSERT_TRUE(m_watch) << error;
    }

    void StartPrometheus() {
        std::ofstream(m_folder / "prometheus.yml") << "scrape_configs:\n"
                                                      "  - job_name: recorders\n"
                                                      "    scrape_interval: 1h\n"
                                                      "    file_sd_configs:\n"
                                                      "      - refresh_interval: 1s\n"
                                                      "        files: ['"
                                                   << m_targetsFile.string() << "']\n";
        std::string error;
        m_prometheus = ChildProcess::Start(
            {m_prometheusPath, "--config.file=" + (m_folder / "prometheus.yml").string(),
             "--storage.tsdb.path=" + (m_folder / "data").string(),
             "--web.listen-address=127.0.0.1:" + std::to_string(kPrometheusPort),
             "--log.level=warn"},
            nullptr, error);
        ASSERT_TRUE(m_prometheus) << error;
    }

    // The active targets once they equal expected, else the last ones seen when the bound
    // ends (empty while Prometheus does not answer).
    Targets WaitForTargets(const Targets& expected) {
        httplib::Client client("127.0.0.1", kPrometheusPort);
        client.set_connection_timeout(5s);
        client.set_read_timeout(10s);
        Targets seen;
        const auto start = std::chrono::steady_clock::now();
        const auto deadline = start + kPrometheusBound;
        while (std::chrono::steady_clock::now() < deadline) {
            const httplib::Result result = client.Get("/api/v1/targets?state=active");
            if (result && result->status == 200) {
                seen.clear();
                const nlohmann::json answer = nlohmann::json::parse(result->body);
                for (const nlohmann::json& target : answer["data"]["activeTargets"]) {
                    const nlohmann::json& labels = target["labels"];
                    seen[labels["instance"]] = labels.get<std::map<std::string, std::string>>();
                }
                if (seen == expected) {
                    break;
                }
            }
            std::this_thread::sleep_for(250ms);
        }
        // The margin left, for the log.
        std::cout << "Prometheus's active targets after "
                  << std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()
                  << " s:";
        for (const auto& [instance, labels] : seen) {
            std::cout << ' ' << instance;
        }
        std::cout << std::endl;
        return seen;
    }

    std::string m_prometheusPath;
    std::filesystem::path m_folder;
    std::filesystem::path m_targetsFile;
    std::vector<std::unique_ptr<ChildProcess>> m_recorders;
    std::unique_ptr<ChildProcess> m_watch;
    std::unique_ptr<ChildProcess> m_prometheus;
};

TEST_F(PrometheusTargets, ActiveTargetsAreTheRecordersThatAnswer) {
    std::string error;
    test::VethOptions veth("lan0", "10.62.0.1/24", "10.62.0.2/24");
    veth.peerMac = "02:00:00:62:00:02"; // listed for the ONVIF device, whose reply has no MAC
    const auto peer = test::ConnectPeer(veth, error);
    ASSERT_TRUE(peer) << error;
    ASSERT_EQ(test::RunProgram({"ip", "address", "add", "10.62.0.5/24", "dev", "eth0"}, peer.get()),
              0);
    StartRecorder(*peer, {"--address", "10.62.0.2", "--manufacture", "M\xC3\xBCller", "--model",
                          "NVR-8", "--mac", "00:11:22:33:44:55", "--http-port", "8080"});
    StartRecorder(*peer,
                  {"--address", "10.62.0.5", "--onvif-only", "--manufacture", "Lumen", "--model",
                   "LX 200", "--onvif-xaddrs", "http://10.62.0.5:8000/onvif/device_service"});
    ASSERT_NO_FATAL_FAILURE(StartWatch());
    ASSERT_NO_FATAL_FAILURE(StartPrometheus());

    const std::map<std::string, std::string> nvr{
        {"instance", "10.62.0.2:8080"},   {"job", "recorders"},
        {"manufacture", "M\xC3\xBCller"}, {"model", "NVR-8"},
        {"mac", "00:11:22:33:44:55"},     {"local_address", "10.62.0.1"},
        {"protocol", "UDP 2900"}};
    const std::map<std::string, std::string> camera{
        {"instance", "10.62.0.5:8000"}, {"job", "recorders"},
        {"manufacture", "Lumen"},       {"model", "LX 200"},
        {"mac", "02:00:00:62:00:02"},   {"local_address", "10.62.0.1"},
        {"protocol", "ONVIF"}};
    const Targets both{{"10.62.0.2:8080", nvr}, {"10.62.0.5:8000", camera}};
    EXPECT_EQ(WaitForTargets(both), both);

    // Gone after three rounds that did not hear it: each listens at least 3 s for ONVIF
    // answers and the first may start at once, so never within 6 s (load only delays it).
    m_recorders.back()->Stop();
    const auto stopped = std::chrono::steady_clock::now();
    ASSERT_TRUE(m_watch->WaitForLine(R"({"event": "gone", "IP": "10.62.0.5"})", kPrometheusBound))
        << m_watch->Output();
    EXPECT_GE(std::chrono::steady_clock::now() - stopped, 6s);
    const Targets remaining{{"10.62.0.2:8080", nvr}};
    EXPECT_EQ(WaitForTargets(remaining), remaining);
}

} // namespace
} // namespace ferrow
