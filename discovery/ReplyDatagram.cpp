#include "discovery/ReplyDatagram.h"

#include "discovery/DiscoveryProtocol.h"
#include "discovery/ProbeMatchReader.h"
#include "platform/TextConversion.h"

namespace ferrow {

namespace {

// Counts the datagram; false when it is empty or oversize, which is counted as ignored.
bool CountDatagram(std::string_view bytes, bool oversize, SearchCounts& counts) {
    ++counts.datagrams;
    if (bytes.empty()) {
        ++counts.ignoredEmpty;
        return false;
    }
    if (oversize) {
        ++counts.ignoredOversize;
        return false;
    }
    return true;
}

} // namespace

std::optional<std::u16string> AcceptDatagram(std::string_view bytes, bool oversize,
                                             SearchCounts& counts) {
    if (!CountDatagram(bytes, oversize, counts)) {
        return std::nullopt;
    }
    if (!HasProbeSignature(bytes)) {
        ++counts.ignoredWithoutSignature;
        return std::nullopt;
    }
    ++counts.accepted;
    return ReplyTextToUtf16(bytes.substr(0, bytes.find('\0')));
}

std::vector<OnvifDevice> AcceptProbeMatches(std::string_view bytes, bool oversize,
                                            Ipv4Address source, SearchCounts& counts) {
    if (!CountDatagram(bytes, oversize, counts)) {
        return {};
    }
    std::vector<OnvifDevice> devices = ReadProbeMatches(bytes, source);
    ++(devices.empty() ? counts.ignoredNotProbeMatches : counts.accepted);
    return devices;
}

} // namespace ferrow
