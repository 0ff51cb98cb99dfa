#pragma once

#include <string>

namespace ferrow {

class CMainFrame;

// Runs the search from one local address for the frame, which receives every accepted
// reply through OnDeviceReply; tests put a recorder of the calls in its place.
class AddressSearcher {
public:
    virtual ~AddressSearcher() = default;
    virtual void Search(const std::string& localAddress, CMainFrame& frame) = 0;
};

// The real search on the network: the frame's own SearchOnAddress.
class NetworkAddressSearcher final : public AddressSearcher {
public:
    void Search(const std::string& localAddress, CMainFrame& frame) override;
};

} // namespace ferrow
