#include "tools/recorder/Recorder.h"

#include "discovery/DiscoveryProtocol.h"
#include "platform/Ipv4Address.h"
#include "tools/recorder/ReplyBuilder.h"

#include <chrono>
#include <string_view>
#include <thread>

namespace ferrow::recorder {

namespace {

constexpr int kPollMs = 100;
constexpr int kChattyDefaultGapMs = 200;
constexpr int kLargestDatagram = 65536;

// Sleeps in short steps so that a stop request is seen soon; false when it came.
bool SleepUnlessStopped(int milliseconds, const std::function<bool()>& stopRequested) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        if (stopRequested()) {
            return false;
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            end - std::chrono::steady_clock::now(), std::chrono::milliseconds(kPollMs)));
    }
    return !stopRequested();
}

} // namespace

Recorder::Recorder(RecorderOptions options)
    : m_options(std::move(options)), m_replies(BuildReplies(m_options)),
      m_buffer(kLargestDatagram) {}

bool Recorder::Open(std::string& error) {
    if (!m_sockets.Open(m_options.address, kDiscoveryPort, error)) {
        return false;
    }
    socket_api::SetIntOption(m_sockets.Sending(), SOL_SOCKET, SO_BROADCAST, 1);
    return true;
}

bool Recorder::IsProbe() {
    sockaddr_in from{};
    const int received = socket_api::ReceiveDatagram(m_sockets.Receiving(), m_buffer.data(),
                                                     static_cast<int>(m_buffer.size()), &from);
    return received >= 0 && std::string_view(m_buffer.data(), static_cast<std::size_t>(received)) ==
                                kProbeSignatureText;
}

bool Recorder::SendRound(const std::function<bool()>& stopRequested) {
    const sockaddr_in destination =
        socket_api::Ipv4SocketAddress(htonl(kBroadcastAddress), kDiscoveryPort);
    const auto start = std::chrono::steady_clock::now();
    bool first = true;
    for (std::size_t sent = 0; const std::string& reply : m_replies) {
        if (!first && m_options.gapMs > 0 && !SleepUnlessStopped(m_options.gapMs, stopRequested)) {
            return false;
        }
        if (m_options.rate > 0) {
            // Reply n leaves n / rate seconds into the round, whatever the sends cost.
            std::this_thread::sleep_until(
                start + std::chrono::microseconds(sent++ * 1000000 / m_options.rate));
            if (stopRequested()) {
                return false;
            }
        }
        first = false;
        socket_api::SendDatagram(m_sockets.Sending(), reply.data(), static_cast<int>(reply.size()),
                                 destination);
    }
    return true;
}

void Recorder::Run(const std::function<bool()>& stopRequested) {
    while (!stopRequested()) {
        if (socket_api::WaitForReadable(m_sockets.Receiving(), kPollMs) !=
                socket_api::WaitResult::Readable ||
            !IsProbe()) {
            continue;
        }
        if (!SleepUnlessStopped(m_options.delayMs, stopRequested)) {
            return;
        }
        const bool chatty = m_options.fault == Fault::Chatty;
        const int gapBetweenRounds =
            chatty && m_options.gapMs == 0 ? kChattyDefaultGapMs : m_options.gapMs;
        for (int round = 0; chatty || round < m_options.repeat; ++round) {
            if (round > 0 && !SleepUnlessStopped(gapBetweenRounds, stopRequested)) {
                return;
            }
            if (!SendRound(stopRequested)) {
                return;
            }
        }
    }
}

} // namespace ferrow::recorder
