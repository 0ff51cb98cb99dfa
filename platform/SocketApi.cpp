#include "platform/SocketApi.h"

// The calls that read the same on every platform; the rest is in SocketApiPosix.cpp and
// SocketApiWindows.cpp.

namespace ferrow::socket_api {

SocketHandle OpenUdpSocket() {
    return ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
}

bool SetIntOption(SocketHandle socket, int level, int name, int value) {
    return ::setsockopt(socket, level, name, reinterpret_cast<const char*>(&value),
                        static_cast<socklen_t>(sizeof value)) == 0;
}

sockaddr_in Ipv4SocketAddress(std::uint32_t networkAddress, std::uint16_t hostPort) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = networkAddress;
    address.sin_port = htons(hostPort);
    return address;
}

bool Bind(SocketHandle socket, const sockaddr_in& address) {
    return ::bind(socket, reinterpret_cast<const sockaddr*>(&address), kSocketAddressLength) == 0;
}

bool JoinMulticastGroup(SocketHandle socket, std::uint32_t group, std::uint32_t localAddress) {
    ip_mreq request{};
    request.imr_multiaddr.s_addr = group;
    request.imr_interface.s_addr = localAddress;
    return ::setsockopt(socket, IPPROTO_IP, IP_ADD_MEMBERSHIP,
                        reinterpret_cast<const char*>(&request),
                        static_cast<socklen_t>(sizeof request)) == 0;
}

int SendDatagram(SocketHandle socket, const char* data, int length, const sockaddr_in& to) {
    return static_cast<int>(::sendto(socket, data, length, 0,
                                     reinterpret_cast<const sockaddr*>(&to), kSocketAddressLength));
}

void ShutdownAndClose(SocketHandle socket) {
    ::shutdown(socket, kShutdownBoth);
    CloseSocket(socket);
}

std::uint32_t InetAddr(const char* text) {
    return ::inet_addr(text);
}

SocketLibraryScope::SocketLibraryScope() : m_started(StartSocketLibrary()) {}

SocketLibraryScope::~SocketLibraryScope() {
    if (m_started) {
        StopSocketLibrary();
    }
}

} // namespace ferrow::socket_api
