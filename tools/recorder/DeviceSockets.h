#pragma once

#include "platform/SocketApi.h"

#include <cstdint>
#include <string>

namespace ferrow::recorder {

// The two sockets of a simulated device: one that receives on a port of every local
// address (shared with other devices: address reuse), and one that sends from the
// device's own address on a port the system picks. Closed by the destructor.
class DeviceSockets {
public:
    DeviceSockets() = default;
    DeviceSockets(const DeviceSockets&) = delete;
    DeviceSockets& operator=(const DeviceSockets&) = delete;
    ~DeviceSockets();

    // False, with the reason in error, when either cannot be opened and bound.
    bool Open(const std::string& ownAddress, std::uint16_t receivePort, std::string& error);

    SocketHandle Receiving() const { return m_receiving; }
    SocketHandle Sending() const { return m_sending; }

private:
    SocketHandle m_receiving = kInvalidSocket;
    SocketHandle m_sending = kInvalidSocket;
};

} // namespace ferrow::recorder
