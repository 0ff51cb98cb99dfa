#pragma once

#include "discovery/SearchEnd.h"
#include "discovery/SearchRun.h"

#include <string>
#include <utility>

namespace ferrow {

// One search from a local IPv4 address on the caller's thread:
// broadcasts the probe from it, then hands the text of every datagram on the discovery
// port that carries the signature (signature included, converted to UTF-16) to onReply,
// in arrival order, until a wait of 1000 ms passes without a datagram, a read fails, or
// 10 s have passed since the probe. Empty and oversize datagrams are counted and skipped.
// The socket is drained on a thread of its own meanwhile (see SearchRun).
inline SearchEnd SearchForReplies(Ipv4Address localAddress, const ReplyHandler& onReply) {
    SearchRun run(localAddress);
    return run.HandOnReplies(onReply);
}

// The same in the given protocols: port-2900 replies go to onReply as above, and every
// device of every ONVIF ProbeMatches to onOnvifDevice; the search ends when both halves
// have (see SearchRun).
inline SearchEnd SearchForDevices(Ipv4Address localAddress, ProtocolSet protocols,
                                  const ReplyHandler& onReply,
                                  const OnvifDeviceHandler& onOnvifDevice) {
    SearchRun run(localAddress, protocols);
    return run.HandOnReplies(onReply, onOnvifDevice);
}

// Mix-in of a frame: runs the search from a local address given as dotted-decimal text
// and calls frame->OnDeviceReply(std::u16string) per accepted reply, on the caller's thread.
template <class T> class CSearchXNRImpl {
public:
    SearchEnd SearchOnAddress(std::string localAddress, T* frame) {
        return SearchForReplies(
            Ipv4Address::FromText(localAddress),
            [frame](std::u16string replyText) { frame->OnDeviceReply(std::move(replyText)); });
    }
};

} // namespace ferrow
