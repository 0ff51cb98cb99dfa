#pragma once

#include "platform/SocketApi.h"

#include <cstdint>

namespace ferrow {

struct DatagramBatch;

// Waits until a datagram can be read from the socket: 0 one is waiting, kWaitTimedOut
// (258) the time ran out, -1 failure. The endpoints' WaitReadable.
int WaitForDatagram(SocketHandle socket, int timeoutMs);

// The UDP endpoint of one search: a sending socket bound to the chosen local address on a
// port the system picks, and a receiving socket bound to the discovery port on the
// wildcard address. Both are open, or neither.
class CMulticastConnection {
public:
    CMulticastConnection();
    CMulticastConnection(const CMulticastConnection&) = delete;
    CMulticastConnection& operator=(const CMulticastConnection&) = delete;
    virtual ~CMulticastConnection();

    // Addresses in network byte order, ports in host order. True when both sockets are
    // open and bound; on false nothing stays open.
    bool Open(std::uint32_t localAddress, std::uint32_t receiveAddress, std::uint16_t sendPort,
              std::uint16_t receivePort, bool broadcast, int timeoutMs);

    // sendto on the sending socket, arguments unchanged: the bytes sent, or -1.
    int SendTo(const char* data, int length, int flags, const sockaddr* destination,
               int destinationLength);

    // 0: a datagram is waiting; kWaitTimedOut (258): the time ran out; -1: failure.
    int WaitReadable(int timeoutMs);

    // Reads one datagram: the bytes read (0 or more), or -1 when none came in time or
    // the read failed. A datagram larger than capacity closes the endpoint and gives -1.
    int Receive(char* buffer, int capacity, int timeoutMs);

    // Reads, without waiting, the datagrams already queued, at most a batch; empty and
    // oversize ones are entries like any other. The number read, or -1 when the read
    // failed, which closes the endpoint.
    int ReceiveBatch(DatagramBatch& batch);

    bool SetReceiveTimeout(int timeoutMs);

    // Closes the receiving socket, then the sending socket; closing twice does nothing.
    void Close();

    bool IsOpen() const { return m_recvSocket != kInvalidSocket; }
    // The receiving socket's bind address after Open, then the source of the last datagram.
    const sockaddr_in& LastAddress() const { return m_address; }

private:
    void CloseAfterFailedOpen();

    SocketHandle m_sendSocket;
    SocketHandle m_recvSocket;
    sockaddr_in m_address;
};

} // namespace ferrow
