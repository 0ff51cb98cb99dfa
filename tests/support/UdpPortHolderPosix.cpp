#include "NetworkNamespace.h"
#include "UdpPortHolder.h"
#include "platform/SocketApi.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrow::test {

std::unique_ptr<UdpPortHolder> UdpPortHolder::Hold(std::uint16_t port, const NetworkNamespace* ns,
                                                   std::string& error) {
    const int socket = OpenUdpSocketIn(ns, error);
    if (socket < 0) {
        return nullptr;
    }
    const sockaddr_in any = socket_api::Ipv4SocketAddress(htonl(INADDR_ANY), port);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&any), sizeof any) != 0) {
        error = "cannot bind port " + std::to_string(port) + ": " + std::strerror(errno);
        ::close(socket);
        return nullptr;
    }
    return std::unique_ptr<UdpPortHolder>(new UdpPortHolder(socket));
}

UdpPortHolder::~UdpPortHolder() {
    ::close(m_socket);
}

} // namespace ferrow::test
