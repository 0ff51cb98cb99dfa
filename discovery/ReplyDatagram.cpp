#include "discovery/ReplyDatagram.h"

#include "discovery/DiscoveryProtocol.h"
#include "platform/TextConversion.h"

namespace ferrow {

std::optional<std::u16string> AcceptDatagram(std::string_view bytes, bool oversize,
                                             SearchCounts& counts) {
    ++counts.datagrams;
    if (bytes.empty()) {
        ++counts.ignoredEmpty;
        return std::nullopt;
    }
    if (oversize) {
        ++counts.ignoredOversize;
        return std::nullopt;
    }
    if (!HasProbeSignature(bytes)) {
        ++counts.ignoredWithoutSignature;
        return std::nullopt;
    }
    ++counts.accepted;
    return ReplyTextToUtf16(bytes.substr(0, bytes.find('\0')));
}

} // namespace ferrow
