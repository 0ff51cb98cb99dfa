#pragma once

#include "discovery/DeviceSearch.h"

#include <memory>

namespace ferrow {

// A search as the frame asks for one: from this local address in these protocols, telling
// the observer of every accepted reply and device and then of the end, on whatever thread
// the search runs. Destroying
// the result stops the search. Tests put searches of their own in its place.
class AddressSearcher {
public:
    virtual ~AddressSearcher() = default;
    virtual std::unique_ptr<RunningSearch> Start(Ipv4Address localAddress, ProtocolSet protocols,
                                                 SearchObserver& observer) = 0;
};

// The real search on the network, on a thread of its own.
class NetworkAddressSearcher final : public AddressSearcher {
public:
    std::unique_ptr<RunningSearch> Start(Ipv4Address localAddress, ProtocolSet protocols,
                                         SearchObserver& observer) override;
};

} // namespace ferrow
