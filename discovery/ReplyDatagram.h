#pragma once

#include "discovery/OnvifDevice.h"
#include "discovery/SearchEnd.h"
#include "platform/Ipv4Address.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrow {

// The reply text a datagram from the discovery port carries: its bytes up to the first
// zero byte, if any, converted to UTF-16 (ReplyTextToUtf16) with the signature left at the
// start. Nothing for an empty or oversize datagram or one without the signature. Counts
// the datagram in counts either way.
std::optional<std::u16string> AcceptDatagram(std::string_view bytes, bool oversize,
                                             SearchCounts& counts);

// The devices of a datagram from the ONVIF socket (ReadProbeMatches): none for an empty or
// oversize datagram, or one that holds no ProbeMatch. Counts the datagram in counts
// either way.
std::vector<OnvifDevice> AcceptProbeMatches(std::string_view bytes, bool oversize,
                                            Ipv4Address source, SearchCounts& counts);

} // namespace ferrow
