#pragma once

#include <cstdint>
#include <string_view>

namespace ferrow {

// ONVIF's discovery: WS-Discovery (2005/04) over SOAP on UDP. Probes go to the multicast
// group; ProbeMatches come back unicast to the socket that sent the probe.
inline constexpr std::string_view kWsDiscoveryGroup = "239.255.255.250";
inline constexpr std::uint16_t kWsDiscoveryPort = 3702;

// The largest UDP payload over IPv4: ProbeMatches are read whole up to this size.
inline constexpr int kWsDiscoveryDatagramBytes = 65507;

// The names a probe is made of.
inline constexpr std::string_view kSoap12Namespace = "http://www.w3.org/2003/05/soap-envelope";
inline constexpr std::string_view kSoap11Namespace = "http://schemas.xmlsoap.org/soap/envelope/";
inline constexpr std::string_view kWsDiscoveryNamespace =
    "http://schemas.xmlsoap.org/ws/2005/04/discovery";
inline constexpr std::string_view kWsAddressingNamespace =
    "http://schemas.xmlsoap.org/ws/2004/08/addressing";
inline constexpr std::string_view kWsDiscoveryTo = "urn:schemas-xmlsoap-org:ws:2005:04:discovery";
inline constexpr std::string_view kProbeAction =
    "http://schemas.xmlsoap.org/ws/2005/04/discovery/Probe";
inline constexpr std::string_view kProbeMatchesAction =
    "http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches";
inline constexpr std::string_view kOnvifNetworkNamespace =
    "http://www.onvif.org/ver10/network/wsdl";
inline constexpr std::string_view kOnvifDeviceNamespace = "http://www.onvif.org/ver10/device/wsdl";

// The scopes a device announces its maker, model and hardware address in.
inline constexpr std::string_view kOnvifNameScope = "onvif://www.onvif.org/name/";
inline constexpr std::string_view kOnvifHardwareScope = "onvif://www.onvif.org/hardware/";
inline constexpr std::string_view kOnvifMacScope = "onvif://www.onvif.org/MacAddress/";

} // namespace ferrow
