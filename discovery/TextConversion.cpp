#include "discovery/TextConversion.h"

#include "discovery/TextConversionPlatform.h"

#include <algorithm>

namespace ferrow {

namespace {

using text_conversion::IsAscii;
using text_conversion::IsAscii16;

// Widens every byte as it stands and tells whether all were ASCII. One pass without an
// early exit, so that the compiler can vectorise it: replies are almost always ASCII.
bool WidenAscii(std::string_view narrow, std::u16string& wide) {
    wide.resize(narrow.size());
    unsigned char seen = 0;
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        const auto byte = static_cast<unsigned char>(narrow[i]);
        seen |= byte;
        wide[i] = byte;
    }
    return seen < 0x80;
}

} // namespace

std::u16string NarrowToUtf16(std::string_view narrow) {
    std::u16string wide;
    if (WidenAscii(narrow, wide)) {
        return wide;
    }
    // Keep the ASCII run already widened; the platform converts from the first other byte.
    const auto asciiLength = static_cast<std::size_t>(
        std::find_if_not(narrow.begin(), narrow.end(), IsAscii) - narrow.begin());
    wide.resize(asciiLength);
    if (!text_conversion::AppendNarrowAsUtf16(narrow.substr(asciiLength), wide)) {
        return {};
    }
    return wide;
}

std::string Utf16ToNarrow(std::u16string_view wide) {
    const auto firstOther = std::find_if_not(wide.begin(), wide.end(), IsAscii16);
    std::string narrow(wide.begin(), firstOther);
    if (firstOther == wide.end()) {
        return narrow;
    }
    const auto asciiLength = static_cast<std::size_t>(firstOther - wide.begin());
    if (!text_conversion::AppendUtf16AsNarrow(wide.substr(asciiLength), narrow)) {
        return {};
    }
    return narrow;
}

} // namespace ferrow
