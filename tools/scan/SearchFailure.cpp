#include "tools/scan/SearchFailure.h"

#include "discovery/DiscoveryProtocol.h"

namespace ferrow {

std::string ExplainSearchFailure(const std::string& localAddress, const SearchEnd& end) {
    const SearchEndReason reason = end.reason;
    const std::string why = SearchFailureText(localAddress, reason, end.reasonFrom);
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
        return why + (end.reasonFrom == DeviceProtocol::Onvif
                          ? " (is the adapter up, and does it take multicast?)."
                          : " (is the adapter up, with a route for 255.255.255.255?).");
    case SearchEndReason::ReceiveFailed:
        return why + ". Rows heard before are listed.";
    case SearchEndReason::Cancelled:
        return why + ".";
    }
    return why;
}

} // namespace ferrow
