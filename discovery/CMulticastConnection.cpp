#include "discovery/CMulticastConnection.h"

#include "discovery/DiscoveryProtocol.h"

#include <algorithm>
#include <cstring>

namespace ferrow {

CMulticastConnection::CMulticastConnection()
    : m_sendSocket(kInvalidSocket), m_recvSocket(kInvalidSocket) {
    std::memset(&m_address, 0, sizeof m_address);
}

CMulticastConnection::~CMulticastConnection() {
    Close();
}

bool CMulticastConnection::Open(std::uint32_t localAddress, std::uint32_t receiveAddress,
                                std::uint16_t sendPort, std::uint16_t receivePort, bool broadcast,
                                int timeoutMs) {
    // Option results are not looked at: a refused option does not stop the opening.
    m_sendSocket = socket_api::OpenUdpSocket();
    if (m_sendSocket == kInvalidSocket) {
        return false;
    }
    socket_api::SetIntOption(m_sendSocket, SOL_SOCKET, SO_REUSEADDR, 1);
    if (broadcast) {
        socket_api::SetIntOption(m_sendSocket, SOL_SOCKET, SO_BROADCAST, 1);
        socket_api::SetIntOption(m_sendSocket, IPPROTO_IP, IP_MULTICAST_TTL, kProbeMulticastTtl);
    }
    socket_api::SetIntOption(m_sendSocket, IPPROTO_IP, IP_TTL, kProbeTtl);

    m_address = socket_api::Ipv4SocketAddress(localAddress, sendPort);
    if (!socket_api::Bind(m_sendSocket, m_address)) {
        CloseAfterFailedOpen();
        return false;
    }
    if (sendPort == 0) {
        socklen_t length = kSocketAddressLength;
        if (::getsockname(m_sendSocket, reinterpret_cast<sockaddr*>(&m_address), &length) != 0) {
            CloseAfterFailedOpen();
            return false;
        }
    }

    m_recvSocket = socket_api::OpenUdpSocket();
    if (m_recvSocket == kInvalidSocket) {
        CloseAfterFailedOpen();
        return false;
    }
    socket_api::SetIntOption(m_recvSocket, SOL_SOCKET, SO_REUSEADDR, 1);
    socket_api::RequestReceiveQueue(m_recvSocket, kReceiveQueueBytes);
    m_address = socket_api::Ipv4SocketAddress(receiveAddress, receivePort);
    if (!socket_api::Bind(m_recvSocket, m_address)) {
        CloseAfterFailedOpen();
        return false;
    }
    SetReceiveTimeout(timeoutMs);
    return true;
}

void CMulticastConnection::CloseAfterFailedOpen() {
    for (SocketHandle* socket : {&m_recvSocket, &m_sendSocket}) {
        if (*socket != kInvalidSocket) {
            socket_api::CloseSocket(*socket);
            *socket = kInvalidSocket;
        }
    }
}

int CMulticastConnection::SendTo(const char* data, int length, int flags,
                                 const sockaddr* destination, int destinationLength) {
    return static_cast<int>(::sendto(m_sendSocket, data, length, flags, destination,
                                     static_cast<socklen_t>(destinationLength)));
}

int WaitForDatagram(SocketHandle socket, int timeoutMs) {
    switch (socket_api::WaitForReadable(socket, timeoutMs)) {
    case socket_api::WaitResult::Readable:
        return 0;
    case socket_api::WaitResult::TimedOut:
        return kWaitTimedOut;
    case socket_api::WaitResult::Failed:
        break;
    }
    return -1;
}

int CMulticastConnection::WaitReadable(int timeoutMs) {
    return WaitForDatagram(m_recvSocket, timeoutMs);
}

int CMulticastConnection::Receive(char* buffer, int capacity, int timeoutMs) {
    if (m_recvSocket == kInvalidSocket || WaitReadable(timeoutMs) != 0) {
        return -1;
    }
    // An empty datagram reports nothing pending; it is left for the caller to stop on.
    const int pending = socket_api::PendingBytes(m_recvSocket);
    if (pending <= 0) {
        return -1;
    }
    const int received =
        socket_api::ReceiveDatagram(m_recvSocket, buffer, std::min(capacity, pending), &m_address);
    if (received < 0) {
        Close();
        return -1;
    }
    return received;
}

int CMulticastConnection::ReceiveBatch(DatagramBatch& batch) {
    const int received =
        m_recvSocket == kInvalidSocket ? -1 : socket_api::ReceiveDatagrams(m_recvSocket, batch);
    if (received < 0) {
        Close();
    }
    return received;
}

bool CMulticastConnection::SetReceiveTimeout(int timeoutMs) {
    return socket_api::SetReceiveTimeoutMs(m_recvSocket, timeoutMs);
}

void CMulticastConnection::Close() {
    for (SocketHandle* socket : {&m_recvSocket, &m_sendSocket}) {
        if (*socket != kInvalidSocket) {
            const SocketHandle open = *socket;
            *socket = kInvalidSocket;
            socket_api::ShutdownAndClose(open);
        }
    }
}

} // namespace ferrow
