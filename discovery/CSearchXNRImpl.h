#pragma once

#include <functional>
#include <string>
#include <utility>

namespace ferrow {

// One search from a local IPv4 address (dotted-decimal text): broadcasts the probe from
// it, then hands the text of every datagram on the discovery port that carries the
// signature (signature included, converted to UTF-16) to onReply, in arrival order, until
// a wait of 1000 ms passes without a datagram, a receive fails, or 10 s have passed since
// the probe. Returns at once when the endpoint cannot be opened or the probe not sent;
// the result says which (the window ignores it, a command line reports it).
enum class SearchStart { Ran, EndpointNotOpened, ProbeNotSent };
SearchStart SearchForReplies(const std::string& localAddress,
                             const std::function<void(std::u16string)>& onReply);

// Mix-in of the frame: runs the search and calls frame->OnDeviceReply(std::u16string)
// per accepted reply.
template <class T> class CSearchXNRImpl {
public:
    SearchStart SearchOnAddress(std::string localAddress, T* frame) {
        return SearchForReplies(localAddress, [frame](std::u16string replyText) {
            frame->OnDeviceReply(std::move(replyText));
        });
    }
};

} // namespace ferrow
