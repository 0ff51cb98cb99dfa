#include "NetworkNamespace.h"
#include "ProbeCapture.h"
#include "discovery/DiscoveryProtocol.h"
#include "platform/SocketApi.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrow::test {

namespace {

std::string AddressText(in_addr address) {
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &address, text, sizeof text);
    return text;
}

} // namespace

std::unique_ptr<ProbeCapture> ProbeCapture::Open(const NetworkNamespace* ns, std::string& error) {
    const int socket = test::OpenUdpSocketIn(ns, error);
    if (socket < 0) {
        return nullptr;
    }
    const int on = 1;
    ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ::setsockopt(socket, IPPROTO_IP, IP_RECVTTL, &on, sizeof on);
    ::setsockopt(socket, IPPROTO_IP, IP_PKTINFO, &on, sizeof on);
    const sockaddr_in local = socket_api::Ipv4SocketAddress(htonl(INADDR_ANY), kDiscoveryPort);
    if (::bind(socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        error = std::string("bind: ") + std::strerror(errno);
        ::close(socket);
        return nullptr;
    }
    return std::unique_ptr<ProbeCapture>(new ProbeCapture(socket));
}

ProbeCapture::~ProbeCapture() {
    ::close(m_socket);
}

std::optional<CapturedDatagram> ProbeCapture::Next(std::chrono::milliseconds timeout) {
    pollfd entry{m_socket, POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(timeout.count())) != 1) {
        return std::nullopt;
    }
    char payload[65536];
    alignas(cmsghdr) char control[256];
    sockaddr_in source{};
    iovec vector{payload, sizeof payload};
    msghdr message{};
    message.msg_name = &source;
    message.msg_namelen = sizeof source;
    message.msg_iov = &vector;
    message.msg_iovlen = 1;
    message.msg_control = control;
    message.msg_controllen = sizeof control;
    const ssize_t length = ::recvmsg(m_socket, &message, 0);
    if (length < 0) {
        return std::nullopt;
    }
    CapturedDatagram datagram;
    datagram.bytes.assign(payload, static_cast<std::size_t>(length));
    datagram.sourceAddress = AddressText(source.sin_addr);
    datagram.sourcePort = ntohs(source.sin_port);
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header != nullptr;
         header = CMSG_NXTHDR(&message, header)) {
        if (header->cmsg_level != IPPROTO_IP) {
            continue;
        }
        if (header->cmsg_type == IP_TTL) {
            std::memcpy(&datagram.ttl, CMSG_DATA(header), sizeof datagram.ttl);
        } else if (header->cmsg_type == IP_PKTINFO) {
            in_pktinfo info{};
            std::memcpy(&info, CMSG_DATA(header), sizeof info);
            datagram.destinationAddress = AddressText(info.ipi_addr);
        }
    }
    return datagram;
}

} // namespace ferrow::test
