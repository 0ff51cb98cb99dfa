#include "platform/TextConversion.h"

#include "platform/TextConversionPlatform.h"
#include "xml/Utf16.h"

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

// The bytes a UTF-8 sequence takes after its lead byte, and the range its first
// continuation byte must lie in so that the sequence is the shortest form of a character
// that is neither a surrogate nor past U+10FFFF; 0 continuation bytes for an invalid lead.
struct Utf8Lead {
    int continuationBytes;
    unsigned char low, high;
};

constexpr Utf8Lead ReadUtf8Lead(unsigned char lead) {
    if (lead >= 0xC2 && lead <= 0xDF) {
        return {1, 0x80, 0xBF};
    }
    if (lead == 0xE0) {
        return {2, 0xA0, 0xBF}; // below: overlong
    }
    if (lead == 0xED) {
        return {2, 0x80, 0x9F}; // above: surrogates
    }
    if (lead >= 0xE1 && lead <= 0xEF) {
        return {2, 0x80, 0xBF};
    }
    if (lead == 0xF0) {
        return {3, 0x90, 0xBF}; // below: overlong
    }
    if (lead >= 0xF1 && lead <= 0xF3) {
        return {3, 0x80, 0xBF};
    }
    if (lead == 0xF4) {
        return {3, 0x80, 0x8F}; // above: past U+10FFFF
    }
    return {0, 0, 0};
}

// Appends the UTF-16 form of bytes to wide when they are valid UTF-8; false otherwise.
bool AppendUtf8AsUtf16(std::string_view bytes, std::u16string& wide) {
    for (std::size_t at = 0; at < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[at]);
        if (lead < 0x80) {
            wide += static_cast<char16_t>(lead);
            ++at;
            continue;
        }
        const Utf8Lead form = ReadUtf8Lead(lead);
        const auto length = static_cast<std::size_t>(form.continuationBytes) + 1;
        if (form.continuationBytes == 0 || bytes.size() - at < length) {
            return false;
        }
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        if (second < form.low || second > form.high) {
            return false;
        }
        char32_t codePoint = lead & (0x7F >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto continuation = static_cast<unsigned char>(bytes[at + i]);
            if ((continuation & 0xC0) != 0x80) {
                return false;
            }
            codePoint = codePoint << 6 | (continuation & 0x3F);
        }
        char16_t units[2];
        wide.append(units, static_cast<std::size_t>(utf16::WriteCodePoint(codePoint, units)));
        at += length;
    }
    return true;
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

std::u16string ReplyTextToUtf16(std::string_view bytes) {
    std::u16string wide;
    if (WidenAscii(bytes, wide)) {
        return wide;
    }
    wide.clear();
    if (AppendUtf8AsUtf16(bytes, wide)) {
        return wide;
    }
    return NarrowToUtf16(bytes);
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
