#include "ui/AddressSearcher.h"

#include "discovery/CSearchXNRImpl.h"

namespace ferrow {

SearchEnd NetworkAddressSearcher::Search(const std::string& localAddress,
                                         const ReplyHandler& onReply) {
    return SearchForReplies(localAddress, onReply);
}

} // namespace ferrow
