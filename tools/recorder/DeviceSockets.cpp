#include "tools/recorder/DeviceSockets.h"

#include "platform/Ipv4Address.h"

namespace ferrow::recorder {

DeviceSockets::~DeviceSockets() {
    for (const SocketHandle socket : {m_receiving, m_sending}) {
        if (socket != kInvalidSocket) {
            socket_api::CloseSocket(socket);
        }
    }
}

bool DeviceSockets::Open(const std::string& ownAddress, std::uint16_t receivePort,
                         std::string& error) {
    const std::uint32_t own = Ipv4Address::FromText(ownAddress).NetworkOrder();
    if (own == INADDR_NONE) {
        error = "not an IPv4 address: " + ownAddress;
        return false;
    }
    m_receiving = socket_api::OpenUdpSocket();
    m_sending = socket_api::OpenUdpSocket();
    if (m_receiving == kInvalidSocket || m_sending == kInvalidSocket) {
        error = "cannot create a UDP socket";
        return false;
    }
    socket_api::SetIntOption(m_receiving, SOL_SOCKET, SO_REUSEADDR, 1);
    if (!socket_api::Bind(m_receiving,
                          socket_api::Ipv4SocketAddress(htonl(INADDR_ANY), receivePort))) {
        error = "cannot bind UDP port " + std::to_string(receivePort);
        return false;
    }
    // Replies leave from the own address, whatever address the interface has first.
    if (!socket_api::Bind(m_sending, socket_api::Ipv4SocketAddress(own, 0))) {
        error = "cannot bind to " + ownAddress;
        return false;
    }
    return true;
}

} // namespace ferrow::recorder
