#pragma once

#include "platform/Ipv4Address.h"
#include "platform/SocketApi.h"

#include <string_view>

namespace ferrow {

struct DatagramBatch;

// The socket of a search's ONVIF half: bound to the local address on a port the system
// picks, sending its probes to the WS-Discovery group out of that address's interface
// (TTL 1: the probes stay on the link), and reading the ProbeMatches that come back to
// it. Closed by its destructor.
class WsDiscoveryEndpoint {
public:
    WsDiscoveryEndpoint() = default;
    WsDiscoveryEndpoint(const WsDiscoveryEndpoint&) = delete;
    WsDiscoveryEndpoint& operator=(const WsDiscoveryEndpoint&) = delete;
    ~WsDiscoveryEndpoint();

    // False, nothing open, when no socket can be bound to the address.
    bool Open(Ipv4Address localAddress);

    // One datagram to the WS-Discovery group; true when it was sent whole.
    bool SendToGroup(std::string_view message);
    // One datagram to a neighbour's WS-Discovery port; sending it makes the system
    // resolve the neighbour's hardware address. Best effort.
    void SendTo(Ipv4Address neighbour, std::string_view message);

    // As CMulticastConnection: 0 a datagram is waiting, kWaitTimedOut the time ran out,
    // -1 failure.
    int WaitReadable(int timeoutMs);
    // The datagrams queued, at most a batch; -1 when the read failed, which closes it.
    int ReceiveBatch(DatagramBatch& batch);

private:
    void Close();

    SocketHandle m_socket = kInvalidSocket;
};

} // namespace ferrow
