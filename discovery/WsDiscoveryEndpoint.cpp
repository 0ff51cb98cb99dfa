#include "discovery/WsDiscoveryEndpoint.h"

#include "discovery/CMulticastConnection.h"
#include "discovery/WsDiscovery.h"

namespace ferrow {

namespace {

// Probes stay on the link, as WS-Discovery asks of multicast messages.
constexpr int kOnvifProbeTtl = 1;

// Enough for a few hundred ProbeMatches of common size waiting at once.
constexpr int kOnvifReceiveQueueBytes = 4 << 20;

} // namespace

WsDiscoveryEndpoint::~WsDiscoveryEndpoint() {
    Close();
}

bool WsDiscoveryEndpoint::Open(Ipv4Address localAddress) {
    m_socket = socket_api::OpenUdpSocket();
    if (m_socket == kInvalidSocket) {
        return false;
    }
    // Options that are refused do not stop the opening; the bind decides.
    socket_api::SetIntOption(m_socket, IPPROTO_IP, IP_MULTICAST_IF,
                             static_cast<int>(localAddress.NetworkOrder()));
    socket_api::SetIntOption(m_socket, IPPROTO_IP, IP_MULTICAST_TTL, kOnvifProbeTtl);
    socket_api::RequestReceiveQueue(m_socket, kOnvifReceiveQueueBytes);
    if (!socket_api::Bind(m_socket,
                          socket_api::Ipv4SocketAddress(localAddress.NetworkOrder(), 0))) {
        Close();
        return false;
    }
    return true;
}

bool WsDiscoveryEndpoint::SendToGroup(std::string_view message) {
    const sockaddr_in group = socket_api::Ipv4SocketAddress(
        Ipv4Address::FromText(std::string(kWsDiscoveryGroup)).NetworkOrder(), kWsDiscoveryPort);
    const auto length = static_cast<int>(message.size());
    return socket_api::SendDatagram(m_socket, message.data(), length, group) == length;
}

void WsDiscoveryEndpoint::SendTo(Ipv4Address neighbour, std::string_view message) {
    socket_api::SendDatagram(
        m_socket, message.data(), static_cast<int>(message.size()),
        socket_api::Ipv4SocketAddress(neighbour.NetworkOrder(), kWsDiscoveryPort));
}

int WsDiscoveryEndpoint::WaitReadable(int timeoutMs) {
    return WaitForDatagram(m_socket, timeoutMs);
}

int WsDiscoveryEndpoint::ReceiveBatch(DatagramBatch& batch) {
    const int received =
        m_socket == kInvalidSocket ? -1 : socket_api::ReceiveDatagrams(m_socket, batch);
    if (received < 0) {
        Close();
    }
    return received;
}

void WsDiscoveryEndpoint::Close() {
    if (m_socket != kInvalidSocket) {
        socket_api::ShutdownAndClose(m_socket);
        m_socket = kInvalidSocket;
    }
}

} // namespace ferrow
