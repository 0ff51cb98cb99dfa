#pragma once

// UTF-16 surrogates: telling them apart, reading a code point that a pair may encode, and
// writing one as one or two units. What an unpaired surrogate turns into is each caller's
// choice (kept, U+FFFD, '?'), so reading hands it back as it stands.

#include <cstddef>
#include <string_view>

namespace ferrow::utf16 {

constexpr bool IsHighSurrogate(char32_t value) {
    return value >= 0xD800 && value <= 0xDBFF;
}

constexpr bool IsLowSurrogate(char32_t value) {
    return value >= 0xDC00 && value <= 0xDFFF;
}

constexpr bool IsSurrogate(char32_t value) {
    return value >= 0xD800 && value <= 0xDFFF;
}

// A code point and how many units of the text it was read from.
struct CodePointRead {
    char32_t codePoint;
    std::size_t units;
};

// The code point at text[at], which must exist: a high surrogate followed by a low one
// gives the character the pair encodes, any other unit its own value, so an unpaired
// surrogate comes back as a surrogate.
constexpr CodePointRead ReadCodePoint(std::u16string_view text, std::size_t at) {
    const char16_t unit = text[at];
    if (IsHighSurrogate(unit) && at + 1 < text.size() && IsLowSurrogate(text[at + 1])) {
        const char32_t high = unit - 0xD800u;
        const char32_t low = text[at + 1] - 0xDC00u;
        return {0x10000 + (high << 10) + low, 2};
    }
    return {unit, 1};
}

// Writes codePoint to units as one unit (below 0x10000, a lone surrogate included) or a
// surrogate pair, and returns how many. Past U+10FFFF a pair keeps only the ten bits each
// unit holds: callers that must not produce that check the range first.
constexpr int WriteCodePoint(char32_t codePoint, char16_t units[2]) {
    if (codePoint < 0x10000) {
        units[0] = static_cast<char16_t>(codePoint);
        return 1;
    }
    const char32_t offset = codePoint - 0x10000;
    units[0] = static_cast<char16_t>(0xD800 | ((offset >> 10) & 0x3FF));
    units[1] = static_cast<char16_t>(0xDC00 | (offset & 0x3FF));
    return 2;
}

} // namespace ferrow::utf16
