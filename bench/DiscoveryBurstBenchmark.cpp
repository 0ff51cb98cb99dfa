// Recorders by the thousand answer one probe as fast as ferrow-recorder can send: how many
// of them become rows through the search object, how long the burst lasts, and how long
// the search runs on after the last datagram (ideally the 1000 ms wait and no more). With
// "onvif", an ONVIF camera answers the WS-Discovery probes after a delay instead: how long
// the search runs on after its last device (ideally 1000 ms, or until 3000 ms after the
// probes when the device answered sooner; one answering later than that is not waited for). Runs in
// a private network namespace with the devices in a peer namespace behind a veth link; needs root.
// Usage: bench_discovery_burst [rounds [recorders...]] | bench_discovery_burst onvif [rounds]
#include "ChildProcess.h"
#include "NetworkNamespace.h"
#include "discovery/DeviceSearch.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/ReplyReader.h"
#include "rows/DeviceCollection.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kLocal = "10.51.0.1";
constexpr const char* kPeer = "10.51.0.2";

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// Keeps rows as the window and ferrow-scan do, on the search's thread.
class BurstOwner final : public ferrow::SearchObserver {
public:
    void OnOnvifDevice(ferrow::OnvifDevice device) override {
        m_lastReply = Clock::now();
        m_devices.Add(std::move(device.record));
    }
    void OnSearchReply(std::u16string replyText) override {
        m_lastReply = Clock::now();
        if (auto record = ferrow::ReadDeviceReply(replyText)) {
            m_devices.Add(std::move(*record));
        }
    }
    void OnSearchEnd(const ferrow::SearchEnd& /*end*/) override { m_end = Clock::now(); }

    struct Round {
        std::size_t rows;
        double burstMs;     // probe sent to last datagram handed on
        double afterLastMs; // last datagram handed on to the end notice
    };

    Round Search(ferrow::ProtocolSet protocols) {
        m_devices.Clear();
        const Clock::time_point start = Clock::now();
        m_lastReply = start;
        ferrow::DeviceSearch(ferrow::Ipv4Address::FromText(kLocal), protocols, *this).Wait();
        return {m_devices.Rows().size(), Milliseconds(m_lastReply - start),
                Milliseconds(m_end - m_lastReply)};
    }

private:
    ferrow::DeviceCollection<ferrow::DeviceRecord> m_devices;
    Clock::time_point m_lastReply;
    Clock::time_point m_end;
};

void PrintSpread(const std::string& what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("  %-36s min %9.2f  median %9.2f  max %9.2f\n", what.c_str(), values.front(),
                values[values.size() / 2], values.back());
}

bool MeasureBurst(const ferrow::test::NetworkNamespace& peer, int recorders, int rounds) {
    std::string error;
    const auto recorder = ferrow::test::ChildProcess::StartRecorder(
        {"--address", kPeer, "--count", std::to_string(recorders)}, &peer, error);
    if (!recorder) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("%d recorders answering one probe, %d searches\n", recorders, rounds);
    BurstOwner owner;
    std::vector<double> rows, burst, afterLast, overshoot;
    for (int round = 0; round < rounds; ++round) {
        const BurstOwner::Round result = owner.Search(ferrow::DeviceProtocol::Udp2900);
        std::printf("  search %d: %zu rows, burst %.2f ms, ended %.2f ms after the last "
                    "datagram\n",
                    round + 1, result.rows, result.burstMs, result.afterLastMs);
        rows.push_back(static_cast<double>(result.rows));
        burst.push_back(result.burstMs);
        afterLast.push_back(result.afterLastMs);
        overshoot.push_back(result.afterLastMs - ferrow::kWaitTimeoutMs);
    }
    PrintSpread("rows (of " + std::to_string(recorders) + ")", rows);
    PrintSpread("probe to last datagram, ms", burst);
    PrintSpread("last datagram to end of search, ms", afterLast);
    PrintSpread("  beyond the 1000 ms wait, ms", overshoot);
    std::printf("\n");
    return true;
}

bool MeasureOnvifEnd(const ferrow::test::NetworkNamespace& peer, int delayMs, int rounds) {
    std::string error;
    const auto camera = ferrow::test::ChildProcess::StartRecorder(
        {"--address", kPeer, "--onvif-only", "--onvif-delay", std::to_string(delayMs)}, &peer,
        error);
    if (!camera) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    std::printf("an ONVIF camera answering %d ms after the probes, %d searches\n", delayMs, rounds);
    BurstOwner owner;
    std::vector<double> lastDevice, afterLast;
    for (int round = 0; round < rounds; ++round) {
        const BurstOwner::Round result = owner.Search(ferrow::DeviceProtocol::Onvif);
        if (result.rows != 1) {
            std::fprintf(stderr, "search %d found %zu devices, not 1\n", round + 1, result.rows);
            return false;
        }
        lastDevice.push_back(result.burstMs);
        afterLast.push_back(result.afterLastMs);
    }
    PrintSpread("probe to last device, ms", lastDevice);
    PrintSpread("last device to end of search, ms", afterLast);
    std::printf("\n");
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const bool onvif = argc > 1 && std::string(argv[1]) == "onvif";
    if (onvif) {
        --argc;
        ++argv;
    }
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::vector<int> counts;
    for (int i = 2; i < argc; ++i) {
        counts.push_back(std::max(1, std::atoi(argv[i])));
    }
    if (counts.empty()) {
        counts = {1000, 5000, 20000};
    }
    std::string error;
    const auto peer = ferrow::test::EnterPrivateNetworkWithPeer(kLocal, kPeer, error);
    if (!peer) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    if (onvif) {
        for (const int delayMs : {0, 1500, 2500, 2900}) {
            if (!MeasureOnvifEnd(*peer, delayMs, rounds)) {
                return 1;
            }
        }
        return 0;
    }
    for (const int recorders : counts) {
        if (!MeasureBurst(*peer, recorders, rounds)) {
            return 1;
        }
    }
    return 0;
}
