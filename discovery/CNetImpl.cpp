#include "discovery/CNetImpl.h"

namespace ferrow {

std::u16string FormatMacText(std::span<const std::uint8_t> hardwareAddress) {
    static constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";
    std::u16string text;
    text.reserve(hardwareAddress.size() * 3);
    for (const std::uint8_t byte : hardwareAddress) {
        if (!text.empty()) {
            text += u':';
        }
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 0x0F];
    }
    return text;
}

} // namespace ferrow
