#include "tools/recorder/OnvifResponder.h"

#include "discovery/WsDiscovery.h"
#include "platform/Ipv4Address.h"
#include "tools/recorder/ProbeReader.h"

#include <algorithm>
#include <string_view>

namespace ferrow::recorder {

namespace {

constexpr int kPollMs = 100;
constexpr int kLargestDatagram = 65536;
// Probes waiting for their answer at most; a flood of probes cannot grow memory further.
constexpr std::size_t kMostPendingAnswers = 4096;
// How often --onvif-fault flood answers a probe again.
constexpr auto kFloodGap = std::chrono::milliseconds(20);

} // namespace

OnvifResponder::OnvifResponder(const RecorderOptions& options)
    : m_address(options.address), m_delay(options.onvif.delayMs),
      m_flood(options.onvif.fault == OnvifFault::Flood), m_builder(options),
      m_buffer(kLargestDatagram) {}

bool OnvifResponder::Open(std::string& error) {
    if (!m_sockets.Open(m_address, kWsDiscoveryPort, error)) {
        return false;
    }
    const std::uint32_t group =
        Ipv4Address::FromText(std::string(kWsDiscoveryGroup)).NetworkOrder();
    if (!socket_api::JoinMulticastGroup(m_sockets.Receiving(), group,
                                        Ipv4Address::FromText(m_address).NetworkOrder())) {
        error =
            "cannot join " + std::string(kWsDiscoveryGroup) + " on the interface of " + m_address;
        return false;
    }
    return true;
}

void OnvifResponder::ReadDatagram() {
    sockaddr_in from{};
    const int received = socket_api::ReceiveDatagram(m_sockets.Receiving(), m_buffer.data(),
                                                     static_cast<int>(m_buffer.size()), &from);
    if (received < 0 || m_pending.size() >= kMostPendingAnswers) {
        return;
    }
    if (std::optional<std::string> messageId = AnsweredProbeMessageId(
            std::string_view(m_buffer.data(), static_cast<std::size_t>(received)))) {
        m_pending.push_back({Clock::now() + m_delay, from, std::move(*messageId)});
    }
}

void OnvifResponder::SendDueAnswers() {
    while (!m_pending.empty() && m_pending.front().due <= Clock::now()) {
        const PendingAnswer& answer = m_pending.front();
        const std::string datagram = m_builder.Build(answer.relatesTo);
        socket_api::SendDatagram(m_sockets.Sending(), datagram.data(),
                                 static_cast<int>(datagram.size()), answer.destination);
        if (m_flood) {
            m_pending.push_back({Clock::now() + kFloodGap, answer.destination, answer.relatesTo});
        }
        m_pending.pop_front();
    }
}

int OnvifResponder::WaitMs() const {
    if (m_pending.empty()) {
        return kPollMs;
    }
    const auto untilDue =
        std::chrono::ceil<std::chrono::milliseconds>(m_pending.front().due - Clock::now());
    return static_cast<int>(
        std::clamp<std::chrono::milliseconds::rep>(untilDue.count(), 0, kPollMs));
}

void OnvifResponder::Run(const std::function<bool()>& stopRequested) {
    while (!stopRequested()) {
        if (socket_api::WaitForReadable(m_sockets.Receiving(), WaitMs()) ==
            socket_api::WaitResult::Readable) {
            ReadDatagram();
        }
        SendDueAnswers();
    }
}

} // namespace ferrow::recorder
