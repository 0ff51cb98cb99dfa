#include "DatagramSender.h"
#include "NetworkNamespace.h"
#include "platform/SocketApi.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrow::test {

std::unique_ptr<DatagramSender>
DatagramSender::Open(const NetworkNamespace* ns, const std::string& address, std::string& error) {
    const int socket = OpenUdpSocketIn(ns, error);
    if (socket < 0) {
        return nullptr;
    }
    const int on = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_BROADCAST, &on, sizeof on);
    sockaddr_in local = socket_api::Ipv4SocketAddress(htonl(INADDR_ANY), 0);
    if (::inet_pton(AF_INET, address.c_str(), &local.sin_addr) != 1 ||
        ::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = "cannot bind the sender to " + address + ": " + std::strerror(errno);
        ::close(socket);
        return nullptr;
    }
    return std::unique_ptr<DatagramSender>(new DatagramSender(socket));
}

DatagramSender::~DatagramSender() {
    Stop();
    ::close(m_socket);
}

bool DatagramSender::Broadcast(std::string_view bytes, std::uint16_t port) {
    const sockaddr_in destination = socket_api::Ipv4SocketAddress(htonl(INADDR_BROADCAST), port);
    const ssize_t sent =
        ::sendto(m_socket, bytes.data(), bytes.size(), 0,
                 reinterpret_cast<const sockaddr*>(&destination), sizeof destination);
    m_lastSend = std::chrono::steady_clock::now();
    return sent == static_cast<ssize_t>(bytes.size());
}

} // namespace ferrow::test
