#include "platform/NeighbourTable.h"

namespace ferrow {

std::string MacText(const unsigned char (&bytes)[6]) {
    constexpr char kHexDigits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char byte : bytes) {
        if (!text.empty()) {
            text += ':';
        }
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0xF];
    }
    return text;
}

std::optional<std::string> MacTextOf(const std::vector<NeighbourEntry>& table,
                                     Ipv4Address neighbour) {
    for (const NeighbourEntry& entry : table) {
        if (entry.address == neighbour) {
            return entry.macText;
        }
    }
    return std::nullopt;
}

} // namespace ferrow
