#include "xml/EntityCodec.h"

#include "xml/CharScan.h"
#include "xml/NamedEntityTable.h"
#include "xml/Utf16.h"

#include <string>

namespace ferrow {

namespace {

// A reference name is collected into a buffer of this size, so at most 9 units.
constexpr int kNameBuffer = 10;

constexpr bool IsStrtolSpace(char16_t unit) {
    return unit == u' ' || (unit >= u'\t' && unit <= u'\r');
}

constexpr int DigitValue(char16_t unit, int base) {
    int value = base;
    if (unit >= u'0' && unit <= u'9') {
        value = unit - u'0';
    } else if (unit >= u'a' && unit <= u'z') {
        value = unit - u'a' + 10;
    } else if (unit >= u'A' && unit <= u'Z') {
        value = unit - u'A' + 10;
    }
    return value < base ? value : -1;
}

// Reads a signed number the way strtol does: leading white space, one sign, for base 16
// an optional "0x", then digits up to the first unit that is not one. No digits give 0.
// The name holds at most 8 units of number, so the value cannot overflow.
std::int32_t ReadNumber(std::u16string_view units, int base) {
    std::size_t k = 0;
    while (k < units.size() && IsStrtolSpace(units[k])) {
        ++k;
    }
    bool negative = false;
    if (k < units.size() && (units[k] == u'+' || units[k] == u'-')) {
        negative = units[k] == u'-';
        ++k;
    }
    if (base == 16 && units.substr(k, 2) == u"0x") {
        k += 2; // "0x" with no digit after it reads as 0 either way
    }
    std::int32_t value = 0;
    for (; k < units.size(); ++k) {
        const int digit = DigitValue(units[k], base);
        if (digit < 0) {
            break;
        }
        value = value * base + digit;
    }
    return negative ? -value : value;
}

// The value of a closed reference name (already lower case), or 0 for none.
std::int32_t ReferenceValue(std::u16string_view name) {
    if (!name.empty() && name[0] == u'#') {
        const bool hex = name.size() > 1 && name[1] == u'x';
        return ReadNumber(name.substr(hex ? 2 : 1), hex ? 16 : 10);
    }
    return NamedEntityCodePoint(name);
}

TextArg EscapeFor(char16_t unit, std::uint32_t flags) {
    switch (unit) {
    case u'<':
        return u"&lt;";
    case u'&':
        return u"&amp;";
    case u'>':
        return u"&gt;";
    case u'\'':
        return (flags & AttributeMode) != 0 ? u"&apos;" : nullptr;
    case u'"':
        return (flags & AttributeMode) != 0 ? u"&quot;" : nullptr;
    default:
        return nullptr;
    }
}

} // namespace

std::int32_t NamedEntityCodePoint(std::u16string_view lowerName) {
    std::uint32_t sum = 0;
    for (char16_t unit : lowerName) {
        sum += unit;
    }
    // Entries: name length (1 digit), code point (4 digits), name.
    for (const char16_t* entry = kNamedEntityTable[sum % kNamedEntityBuckets]; *entry != 0;) {
        const auto length = static_cast<std::size_t>(entry[0] - u'0');
        if (length == lowerName.size() && std::u16string_view(entry + 5, length) == lowerName) {
            std::int32_t value = 0;
            for (int k = 1; k <= 4; ++k) {
                value = value * 10 + (entry[k] - u'0');
            }
            return value;
        }
        entry += 5 + length;
    }
    return 0;
}

void CodePointToUtf16(std::int32_t value, char16_t out[2], int& count) {
    // No range check: a reference past U+10FFFF, or below 0, wraps into some pair.
    count += utf16::WriteCodePoint(static_cast<char32_t>(value), out + count);
}

void AppendResolved(std::u16string& out, const char16_t* text, std::int32_t length) {
    std::int32_t p = 0;
    while (p < length) {
        // Plain units up to the next ampersand go over in one piece.
        const std::int32_t run = FindFirstOf<u'&'>(text, p, length);
        out.append(text + p, static_cast<std::size_t>(run - p));
        p = run;
        if (p == length) {
            break;
        }

        char16_t name[kNameBuffer];
        std::int32_t k = 0;
        while (k < kNameBuffer - 1 && p + 1 + k < length) {
            const char16_t unit = text[p + 1 + k];
            if (unit == u';' || unit > 0x7F) {
                break;
            }
            name[k++] = (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + 0x20) : unit;
        }
        const bool closed = p + 1 + k < length && text[p + 1 + k] == u';';
        const std::int32_t value =
            closed ? ReferenceValue(std::u16string_view(name, static_cast<std::size_t>(k))) : 0;
        if (value != 0) {
            char16_t units[2];
            int count = 0;
            CodePointToUtf16(value, units, count);
            out.append(units, static_cast<std::size_t>(count));
            p += k + 2;
        } else {
            out.push_back(u'&');
            ++p;
        }
    }
}

std::u16string ResolveReferences(const char16_t* text, std::int32_t length) {
    if (length == -1) {
        length = static_cast<std::int32_t>(std::char_traits<char16_t>::length(text));
    }
    std::u16string result;
    result.reserve(static_cast<std::size_t>(length));
    AppendResolved(result, text, length);
    return result;
}

void AppendEscaped(std::u16string& out, std::u16string_view text, std::uint32_t flags) {
    for (char16_t unit : text) {
        if (const TextArg escaped = EscapeFor(unit, flags)) {
            out.append(escaped);
        } else {
            out.push_back(unit);
        }
    }
}

std::u16string EscapeMarkup(TextArg text, std::uint32_t flags) {
    const std::u16string_view input = text != nullptr ? std::u16string_view(text) : u"";
    std::u16string result;
    result.reserve(input.size() + input.size() / 10 + 7);
    AppendEscaped(result, input, flags);
    return result;
}

} // namespace ferrow
