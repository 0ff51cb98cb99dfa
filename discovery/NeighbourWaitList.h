#pragma once

#include "discovery/OnvifDevice.h"
#include "discovery/WsDiscoveryEndpoint.h"
#include "platform/Ipv4Address.h"

#include <chrono>
#include <optional>
#include <vector>

namespace ferrow {

// ONVIF devices whose reply gave no hardware address, waiting for this computer's
// neighbour table to give theirs. Only a device whose IP is the source of its reply is
// looked up: the neighbour table knows the sender, not the addresses it names. A device
// found in the table goes on at once; for one that is not, one datagram to its WS-Discovery
// port makes the system resolve it, and it waits up to kResolveMs (never past the
// search's bound) before it goes on without one.
//
// Threads: one, the one that hands the search's replies on.
class NeighbourWaitList {
public:
    static constexpr int kResolveMs = 1000;
    // At most this many devices wait at once; more go on without a lookup, so that a
    // flood of invented sources cannot make the search send a datagram to each.
    static constexpr std::size_t kMostWaiting = 256;

    using Clock = std::chrono::steady_clock;

    NeighbourWaitList(Ipv4Address localAddress, Clock::time_point searchBound);

    // The device, back at once when it needs no wait (its MAC filled in where the table
    // knows it); nothing when it now waits.
    std::optional<OnvifDevice> Add(OnvifDevice device, Ipv4Address source);
    // The waiting devices whose hardware address the table now holds or whose wait ran
    // out, in the order they came.
    std::vector<OnvifDevice> TakeSettled();
    bool Empty() const { return m_waiting.empty(); }

private:
    struct Waiting {
        OnvifDevice device;
        Ipv4Address source;
        Clock::time_point until;
    };

    void RequestResolve(Ipv4Address neighbour);

    const Ipv4Address m_localAddress;
    const Clock::time_point m_searchBound;
    std::vector<Waiting> m_waiting;
    std::vector<Ipv4Address> m_requested;          // each neighbour is asked for once
    std::optional<WsDiscoveryEndpoint> m_endpoint; // opened at the first request
};

} // namespace ferrow
