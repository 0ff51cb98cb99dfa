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

// What a UTF-8 reader finds at one place: a character and its length, or an ill-formed
// sequence (the code point is then 0) and the length to skip: the longest start of a
// character found there, at least its first byte.
struct Utf8Read {
    char32_t codePoint;
    std::size_t length;
    bool wellFormed;
};

// The character at bytes[at], which must exist and not be ASCII.
Utf8Read ReadUtf8(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const Utf8Lead form = ReadUtf8Lead(lead);
    if (form.continuationBytes == 0) {
        return {0, 1, false};
    }
    const auto length = static_cast<std::size_t>(form.continuationBytes) + 1;
    char32_t codePoint = lead & (0x7F >> length);
    unsigned char low = form.low;
    unsigned char high = form.high;
    for (std::size_t i = 1; i < length; ++i) {
        if (at + i >= bytes.size()) {
            return {0, i, false};
        }
        const auto continuation = static_cast<unsigned char>(bytes[at + i]);
        if (continuation < low || continuation > high) {
            return {0, i, false};
        }
        codePoint = codePoint << 6 | (continuation & 0x3F);
        low = 0x80; // only the first continuation byte has a narrower range
        high = 0xBF;
    }
    return {codePoint, length, true};
}

enum class IllFormedUtf8 { Replace, Fail };

// Appends the UTF-16 form of bytes read as UTF-8 to wide. An ill-formed sequence becomes
// one U+FFFD, or ends the conversion with false.
bool AppendUtf8AsUtf16(std::string_view bytes, std::u16string& wide, IllFormedUtf8 illFormed) {
    for (std::size_t at = 0; at < bytes.size();) {
        if (IsAscii(bytes[at])) {
            wide += static_cast<char16_t>(bytes[at++]);
            continue;
        }
        const Utf8Read read = ReadUtf8(bytes, at);
        at += read.length;
        if (read.wellFormed) {
            char16_t units[2];
            wide.append(units,
                        static_cast<std::size_t>(utf16::WriteCodePoint(read.codePoint, units)));
        } else if (illFormed == IllFormedUtf8::Replace) {
            wide += u'\uFFFD';
        } else {
            return false;
        }
    }
    return true;
}

// Widens the ASCII bytes at the start of bytes into wide and gives how many there are:
// most network text is ASCII through and through.
std::size_t WidenLeadingAscii(std::string_view bytes, std::u16string& wide) {
    if (WidenAscii(bytes, wide)) {
        return bytes.size();
    }
    const auto asciiLength = static_cast<std::size_t>(
        std::find_if_not(bytes.begin(), bytes.end(), IsAscii) - bytes.begin());
    wide.resize(asciiLength);
    return asciiLength;
}

} // namespace

std::u16string NarrowToUtf16(std::string_view narrow) {
    std::u16string wide;
    // The platform converts from the first byte that is not ASCII.
    const std::size_t asciiLength = WidenLeadingAscii(narrow, wide);
    if (asciiLength == narrow.size()) {
        return wide;
    }
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
    if (AppendUtf8AsUtf16(bytes, wide, IllFormedUtf8::Fail)) {
        return wide;
    }
    return NarrowToUtf16(bytes);
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
    std::u16string wide;
    const std::size_t asciiLength = WidenLeadingAscii(utf8, wide);
    AppendUtf8AsUtf16(utf8.substr(asciiLength), wide, IllFormedUtf8::Replace);
    return wide;
}

std::optional<std::u16string> WellFormedUtf8ToUtf16(std::string_view utf8) {
    std::u16string wide;
    const std::size_t asciiLength = WidenLeadingAscii(utf8, wide);
    if (!AppendUtf8AsUtf16(utf8.substr(asciiLength), wide, IllFormedUtf8::Fail)) {
        return std::nullopt;
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
