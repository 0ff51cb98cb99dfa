#pragma once

#include "discovery/SearchEnd.h"
#include "discovery/SearchRun.h"

#include <string>

namespace ferrow {

// A search as the frame asks for one: from this local address, handing each accepted
// reply to onReply on the caller's thread, and giving the notice of its end. Tests put a
// player of replies in its place.
class AddressSearcher {
public:
    virtual ~AddressSearcher() = default;
    virtual SearchEnd Search(const std::string& localAddress, const ReplyHandler& onReply) = 0;
};

// The real search on the network.
class NetworkAddressSearcher final : public AddressSearcher {
public:
    SearchEnd Search(const std::string& localAddress, const ReplyHandler& onReply) override;
};

} // namespace ferrow
