#include "discovery/SearchEnd.h"

#include "discovery/DiscoveryProtocol.h"

namespace ferrow {

std::string SearchFailureText(const std::string& localAddress, SearchEndReason reason,
                              DeviceProtocol protocol) {
    const bool onvif = protocol == DeviceProtocol::Onvif;
    const std::string port = "UDP port " + std::to_string(kDiscoveryPort);
    switch (reason) {
    case SearchEndReason::Quiet:
    case SearchEndReason::TimeBound:
        return {};
    case SearchEndReason::AddressNotLocal:
        return "cannot search from " + localAddress + ": it is not an address of this machine";
    case SearchEndReason::PortInUse:
        return "cannot search from " + localAddress + ": " + port +
               " is held by another program that does not allow address reuse";
    case SearchEndReason::ProbeNotSent:
        return "cannot search from " + localAddress +
               (onvif ? ": the WS-Discovery probe could not be sent from it"
                      : ": the probe could not be broadcast from it");
    case SearchEndReason::ReceiveFailed:
        return "the search from " + localAddress + " stopped early: reading " +
               (onvif ? std::string("the WS-Discovery replies") : port) + " failed";
    case SearchEndReason::Cancelled:
        return "the search from " + localAddress + " was stopped";
    }
    return {};
}

} // namespace ferrow
