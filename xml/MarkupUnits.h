#pragma once

// The UTF-16 units that markup gives a meaning to, shared by the token and markup scanners:
// a class table for the ASCII units, and searches for the units that end a tag name, a
// run of character data and a quoted value.

#include "xml/CharScan.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace ferrow::markup_units {

// Classes of the ASCII units; every unit from 0x80 up is a name start and nothing else.
enum CharClass : std::uint8_t {
    Space = 1,      // space, tab, LF, CR
    NameChar = 2,   // 'A'-'Z', '_', ':' and every unit above 0x60
    ReadNameEnd = 4 // NUL, space, tab, LF, CR, < > = \ / ? ! " ' ;
};

constexpr std::array<std::uint8_t, 0x80> MakeCharClasses() {
    std::array<std::uint8_t, 0x80> table{};
    auto add = [&table](std::u16string_view units, std::uint8_t classes) {
        for (char16_t unit : units) {
            table[unit] |= classes;
        }
    };
    add(u" \t\n\r", Space | ReadNameEnd);
    add(std::u16string_view(u"\0<>/=\\?!\"';", 11), ReadNameEnd);
    add(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ_:", NameChar);
    for (char16_t unit = 0x61; unit < 0x80; ++unit) {
        table[unit] |= NameChar;
    }
    return table;
}

inline constexpr auto kCharClasses = MakeCharClasses();

constexpr bool Is(char16_t unit, CharClass charClass) {
    return unit < 0x80 ? (kCharClasses[unit] & charClass) != 0 : charClass == NameChar;
}

constexpr bool IsQuote(char16_t unit) {
    return unit == u'"' || unit == u'\'';
}

// The first position from `from` on that ends a tag name, a run of character data, or a
// value quoted by quote; the end of the text, where its NUL stands, ends each of them.
inline std::int32_t FindTagNameEnd(const char16_t* text, std::int32_t from, std::int32_t end) {
    return FindFirstOf<u' ', u'\t', u'\n', u'\r', u'/', u'>'>(text, from, end);
}

inline std::int32_t FindRunEnd(const char16_t* text, std::int32_t from, std::int32_t end) {
    return FindFirstOf<u'<', u'>'>(text, from, end);
}

inline std::int32_t FindQuote(const char16_t* text, std::int32_t from, std::int32_t end,
                              char16_t quote) {
    return quote == u'"' ? FindFirstOf<u'"'>(text, from, end) : FindFirstOf<u'\''>(text, from, end);
}

} // namespace ferrow::markup_units
