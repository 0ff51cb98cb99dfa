// ferrow-scan --watch over many rounds against hundreds of recorders: its peak memory
// (VmHWM) after the warm-up rounds and at the end must not have grown by 1 MB. The watch
// loop runs without a pause between rounds, port-2900 only, so a round lasts about a second.
// Runs in a private network namespace with the recorders in a peer namespace behind a veth
// link; needs root. Exits 1 when memory grew or a round did not see every recorder.
// Usage: bench_watch_soak [rounds (default 1000)] [recorders (default 500)]
#include "ChildProcess.h"
#include "NetworkNamespace.h"
#include "platform/StopSignals.h"
#include "tools/scan/WatchCommand.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

namespace {

constexpr const char* kLocal = "10.52.0.1";
constexpr const char* kPeer = "10.52.0.2";
constexpr int kWarmUpRounds = 100;
constexpr long kMostGrowthKb = 1024;

// The process's peak resident memory in kB, or -1.
long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(kWarmUpRounds, std::atoi(argv[1])) : 1000;
    const int recorders = argc > 2 ? std::max(1, std::atoi(argv[2])) : 500;
    std::string error;
    const auto peer = ferrow::test::EnterPrivateNetworkWithPeer(kLocal, kPeer, error);
    const auto recorder =
        peer ? ferrow::test::ChildProcess::StartRecorder(
                   {"--address", kPeer, "--count", std::to_string(recorders)}, peer.get(), error)
             : nullptr;
    if (!recorder) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    ferrow::ScanOptions options;
    options.mode = ferrow::ScanMode::FromAddresses;
    options.fromAddresses = {ferrow::Ipv4Address::FromText(kLocal)};
    options.protocols = ferrow::DeviceProtocol::Udp2900;
    options.watchInterval = std::chrono::seconds(0);
    int round = 0;
    int roundsMissingRows = 0;
    long warmedUpKb = -1;
    long endKb = -1;
    const ferrow::StopSignals stop;
    ferrow::WatchRounds(options, stop, std::cerr, false,
                        [&](const std::vector<ferrow::WatchEvent>& /*events*/,
                            const std::vector<ferrow::WatchedRow>& rows) -> std::optional<int> {
                            ++round;
                            roundsMissingRows += rows.size() == std::size_t(recorders) ? 0 : 1;
                            if (round == kWarmUpRounds) {
                                warmedUpKb = PeakResidentKb();
                                std::printf("round %d: VmHWM %ld kB\n", round, warmedUpKb);
                            }
                            if (round == rounds) {
                                endKb = PeakResidentKb();
                                std::printf("round %d: VmHWM %ld kB\n", round, endKb);
                                return ferrow::kExitSuccess;
                            }
                            std::fflush(stdout);
                            return std::nullopt;
                        });
    if (endKb < 0) {
        std::fprintf(stderr, "stopped after %d of %d rounds\n", round, rounds);
        return 1;
    }
    std::printf("%d rounds against %d recorders: peak grew by %ld kB after round %d (limit "
                "%ld kB); %d rounds did not know every recorder\n",
                rounds, recorders, endKb - warmedUpKb, kWarmUpRounds, kMostGrowthKb,
                roundsMissingRows);
    return endKb - warmedUpKb < kMostGrowthKb && roundsMissingRows == 0 ? 0 : 1;
}
