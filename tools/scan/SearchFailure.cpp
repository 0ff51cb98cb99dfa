#include "tools/scan/SearchFailure.h"

#include "discovery/DiscoveryProtocol.h"

namespace ferrow {

std::string ExplainSearchFailure(const std::string& localAddress, SearchEndReason reason) {
    const std::string port = std::to_string(kDiscoveryPort);
    switch (reason) {
    case SearchEndReason::Quiet:
    case SearchEndReason::TimeBound:
        return {};
    case SearchEndReason::AddressNotLocal:
        return "cannot search from " + localAddress +
               ": it is not an address of this machine. Run 'ferrow-scan --list-adapters' "
               "to see the local addresses.";
    case SearchEndReason::PortInUse:
        return "cannot search from " + localAddress + ": UDP port " + port +
               " is held by another program that does not allow address reuse. Stop that "
               "program and try again (on Linux, 'ss -ulpn sport = :" +
               port + "' shows it).";
    case SearchEndReason::ProbeNotSent:
        return "cannot search from " + localAddress +
               ": the probe could not be broadcast from it (is the adapter up, with a route "
               "for 255.255.255.255?).";
    case SearchEndReason::ReceiveFailed:
        return "the search from " + localAddress + " stopped early: reading UDP port " + port +
               " failed. Rows heard before are "
               "listed.";
    case SearchEndReason::Cancelled:
        return "the search from " + localAddress + " was stopped.";
    }
    return {};
}

} // namespace ferrow
