#pragma once

#include "discovery/OnvifDevice.h"
#include "platform/Ipv4Address.h"

#include <string_view>
#include <vector>

namespace ferrow {

// The devices of one ProbeMatches datagram (UTF-8, a byte order mark allowed) that came
// from source: one per ProbeMatch, in order. Elements are matched by local name, so that
// any prefixes, default namespaces and SOAP 1.1 or 1.2 envelopes read alike. Nothing for a
// datagram that is not well-formed or not a ProbeMatches.
//
// IP and HttpPort come from the first http or https address in XAddrs whose host is a
// dotted IPv4 unicast address that is not link-local, the one on source preferred; without
// one, source and port 80 over http. Model and Manufacture are the rest of the first
// hardware and name scopes, percent-decoded as UTF-8 when that gives UTF-8; MAC the rest of
// the first MacAddress scope as it stands.
std::vector<OnvifDevice> ReadProbeMatches(std::string_view datagram, Ipv4Address source);

} // namespace ferrow
