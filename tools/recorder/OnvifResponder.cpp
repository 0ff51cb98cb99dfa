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

} // namespace

OnvifResponder::OnvifResponder(const RecorderOptions& options)
    : m_address(options.address), m_delay(options.onvif.delayMs), m_builder(options),
      m_buffer(kLargestDatagram) {}

OnvifResponder::~OnvifResponder() {
    for (const SocketHandle socket : {m_recvSocket, m_sendSocket}) {
        if (socket != kInvalidSocket) {
            socket_api::CloseSocket(socket);
        }
    }
}

bool OnvifResponder::Open(std::string& error) {
    const std::uint32_t ownAddress = Ipv4Address::FromText(m_address).NetworkOrder();
    const std::uint32_t group =
        Ipv4Address::FromText(std::string(kWsDiscoveryGroup)).NetworkOrder();
    if (ownAddress == INADDR_NONE) {
        error = "not an IPv4 address: " + m_address;
        return false;
    }
    m_recvSocket = socket_api::OpenUdpSocket();
    m_sendSocket = socket_api::OpenUdpSocket();
    if (m_recvSocket == kInvalidSocket || m_sendSocket == kInvalidSocket) {
        error = "cannot create a UDP socket";
        return false;
    }
    socket_api::SetIntOption(m_recvSocket, SOL_SOCKET, SO_REUSEADDR, 1);
    if (!socket_api::Bind(m_recvSocket,
                          socket_api::Ipv4SocketAddress(htonl(INADDR_ANY), kWsDiscoveryPort))) {
        error = "cannot bind UDP port " + std::to_string(kWsDiscoveryPort);
        return false;
    }
    if (!socket_api::JoinMulticastGroup(m_recvSocket, group, ownAddress)) {
        error =
            "cannot join " + std::string(kWsDiscoveryGroup) + " on the interface of " + m_address;
        return false;
    }
    // Answers leave from the own address, whatever address the interface has first.
    if (!socket_api::Bind(m_sendSocket, socket_api::Ipv4SocketAddress(ownAddress, 0))) {
        error = "cannot bind to " + m_address;
        return false;
    }
    return true;
}

void OnvifResponder::ReadDatagram() {
    sockaddr_in from{};
    const int received = socket_api::ReceiveDatagram(m_recvSocket, m_buffer.data(),
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
        socket_api::SendDatagram(m_sendSocket, datagram.data(), static_cast<int>(datagram.size()),
                                 answer.destination);
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
        if (socket_api::WaitForReadable(m_recvSocket, WaitMs()) ==
            socket_api::WaitResult::Readable) {
            ReadDatagram();
        }
        SendDueAnswers();
    }
}

} // namespace ferrow::recorder
