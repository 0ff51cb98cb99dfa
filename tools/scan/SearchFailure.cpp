#include "tools/scan/SearchFailure.h"

#include "discovery/DiscoveryProtocol.h"

namespace ferrow {

std::string ExplainSearchFailure(const std::string& localAddress, SearchEndReason reason) {
    const std::string why = SearchFailureText(localAddress, reason);
    switch (reason) {
    case SearchEndReason::Quiet:
    case SearchEndReason::TimeBound:
        return why;
    case SearchEndReason::AddressNotLocal:
        return why + ". Run 'ferrow-scan --list-adapters' to see the local addresses.";
    case SearchEndReason::PortInUse:
        return why + ". Stop that program and try again (on Linux, 'ss -ulpn sport = :" +
               std::to_string(kDiscoveryPort) + "' shows it).";
    case SearchEndReason::ProbeNotSent:
        return why + " (is the adapter up, with a route for 255.255.255.255?).";
    case SearchEndReason::ReceiveFailed:
        return why + ". Rows heard before are listed.";
    case SearchEndReason::Cancelled:
        return why + ".";
    }
    return why;
}

} // namespace ferrow
