#include "tools/scan/SearchFailure.h"

#include "discovery/CMulticastConnection.h"
#include "discovery/DiscoveryProtocol.h"
#include "discovery/Ipv4Address.h"

namespace ferrow {
namespace {

// Whether the sending side alone can be bound to the address (receive port 0 instead of
// the discovery port).
bool CanBindLocalAddress(const std::string& localAddress) {
    CMulticastConnection endpoint;
    return endpoint.Open(Ipv4FromText(localAddress), 0, 0, 0, false, kWaitTimeoutMs);
}

} // namespace

std::string ExplainSearchFailure(const std::string& localAddress, SearchStart outcome) {
    const std::string port = std::to_string(kDiscoveryPort);
    switch (outcome) {
    case SearchStart::Ran:
        return {};
    case SearchStart::EndpointNotOpened:
        if (!CanBindLocalAddress(localAddress)) {
            return "cannot search from " + localAddress +
                   ": it is not an address of this machine. Run 'ferrow-scan --list-adapters' "
                   "to see the local addresses.";
        }
        return "cannot search from " + localAddress + ": UDP port " + port +
               " is held by another program that does not allow address reuse. Stop that "
               "program and try again (on Linux, 'ss -ulpn sport = :" +
               port + "' shows it).";
    case SearchStart::ProbeNotSent:
        return "cannot search from " + localAddress +
               ": the probe could not be broadcast from it (is the adapter up, with a route "
               "for 255.255.255.255?).";
    }
    return {};
}

} // namespace ferrow
