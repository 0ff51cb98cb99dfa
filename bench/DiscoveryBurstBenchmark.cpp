// A thousand recorders answer one probe as fast as ferrow-recorder can send: how many of
// them reach the frame, and how long the search runs on after the last datagram (ideally
// the 1000 ms wait and no more). Runs in a private network namespace with the recorder
// in a peer namespace behind a veth link; needs root. Usage: bench_discovery_burst [rounds]
#include "ChildProcess.h"
#include "NetworkNamespace.h"
#include "discovery/CSearchXNRImpl.h"
#include "discovery/DeviceCollection.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/ReplyReader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRecorders = 1000;
constexpr const char* kLocal = "10.51.0.1";
constexpr const char* kPeer = "10.51.0.2";

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

class BurstFrame : public ferrow::CSearchXNRImpl<BurstFrame> {
public:
    void OnDeviceReply(std::u16string replyText) {
        m_lastReply = Clock::now();
        if (const auto record = ferrow::ReadDeviceReply(replyText)) {
            m_devices.Add(*record);
        }
    }

    struct Round {
        std::size_t reached;
        double burstMs;     // probe sent to last datagram handed on
        double afterLastMs; // last datagram handed on to the end of the search
    };

    Round Search() {
        m_devices.Clear();
        const Clock::time_point start = Clock::now();
        m_lastReply = start;
        SearchOnAddress(kLocal, this);
        const Clock::time_point end = Clock::now();
        return {m_devices.Records().size(), Milliseconds(m_lastReply - start),
                Milliseconds(end - m_lastReply)};
    }

private:
    ferrow::DeviceCollection m_devices;
    Clock::time_point m_lastReply;
};

void PrintSpread(const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    std::printf("%-40s min %9.2f  median %9.2f  max %9.2f\n", what, values.front(),
                values[values.size() / 2], values.back());
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (const std::string why = ferrow::test::EnterPrivateNetworkNamespace(); !why.empty()) {
        std::fprintf(stderr, "needs a private network namespace: %s\n", why.c_str());
        return 1;
    }
    std::string error;
    const auto peer = ferrow::test::ConnectPeer(
        {"lan0", std::string(kLocal) + "/24", std::string(kPeer) + "/24"}, error);
    const auto recorder =
        peer ? ferrow::test::ChildProcess::StartRecorder(
                   {"--address", kPeer, "--count", std::to_string(kRecorders)}, peer.get(), error)
             : nullptr;
    if (!recorder) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    std::printf("%d recorders answering one probe, %d searches\n", kRecorders, rounds);
    BurstFrame frame;
    std::vector<double> reached, burst, afterLast, overshoot;
    for (int round = 0; round < rounds; ++round) {
        const BurstFrame::Round result = frame.Search();
        std::printf("search %d: %zu of %d reached the frame, burst %.2f ms, "
                    "search ended %.2f ms after the last datagram\n",
                    round + 1, result.reached, kRecorders, result.burstMs, result.afterLastMs);
        reached.push_back(static_cast<double>(result.reached));
        burst.push_back(result.burstMs);
        afterLast.push_back(result.afterLastMs);
        overshoot.push_back(result.afterLastMs - ferrow::kWaitTimeoutMs);
    }
    std::printf("\n");
    PrintSpread("recorders reached (of 1000)", reached);
    PrintSpread("probe to last datagram, ms", burst);
    PrintSpread("last datagram to end of search, ms", afterLast);
    PrintSpread("  beyond the 1000 ms wait, ms", overshoot);
    return 0;
}
