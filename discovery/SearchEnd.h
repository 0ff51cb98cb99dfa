#pragma once

#include "discovery/DeviceProtocol.h"

#include <cstdint>
#include <string>

namespace ferrow {

// Why a search ended, from the mildest reason to the gravest: a search of both protocols
// ends with the graver of its two.
enum class SearchEndReason {
    Quiet,           // a whole wait (1000 ms) passed without a datagram
    TimeBound,       // the 10 s bound after the probe was reached
    ReceiveFailed,   // reading the socket failed
    Cancelled,       // the owner stopped it
    AddressNotLocal, // could not start: no socket can be bound to the local address
    PortInUse,       // could not start: the discovery port is held without address reuse
    ProbeNotSent,    // could not start: the probe could not be broadcast from the address
};

// True for the reasons that mean the probe never left.
constexpr bool NotStarted(SearchEndReason reason) {
    return reason == SearchEndReason::AddressNotLocal || reason == SearchEndReason::PortInUse ||
           reason == SearchEndReason::ProbeNotSent;
}

// What reached the search's sockets. Every datagram read is counted once: accepted (a
// port-2900 reply handed on, or a ProbeMatches that gave devices) or ignored for one of
// the reasons below.
struct SearchCounts {
    std::uint64_t datagrams = 0;
    std::uint64_t accepted = 0;
    std::uint64_t ignoredEmpty = 0;            // zero bytes
    std::uint64_t ignoredOversize = 0;         // larger than the read (1024 bytes on port 2900)
    std::uint64_t ignoredWithoutSignature = 0; // port 2900
    std::uint64_t ignoredNotProbeMatches =
        0; // ONVIF: no well-formed ProbeMatches with a ProbeMatch

    friend bool operator==(const SearchCounts&, const SearchCounts&) = default;
};

// The notice a search gives when it ends.
struct SearchEnd {
    SearchEndReason reason = SearchEndReason::Quiet;
    SearchCounts counts;
    DeviceProtocol reasonFrom = DeviceProtocol::Udp2900; // the half whose end gave the reason
};

// Why a search from localAddress did not run to its end, in the words every front end
// uses ("cannot search from 10.0.0.1: it is not an address of this machine"); empty for a
// search that ended as searches do (quiet, or the time bound).
// The protocol names the half of the search that failed, where the words differ.
std::string SearchFailureText(const std::string& localAddress, SearchEndReason reason,
                              DeviceProtocol protocol = DeviceProtocol::Udp2900);

} // namespace ferrow
