#pragma once

#include "xml/TextArg.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace ferrow {

// Flags of EscapeMarkup.
enum EscapeFlag : std::uint32_t {
    AttributeMode = 0x100, // escape both quote characters too, for an attribute value
};

// Replaces '<', '&' and '>' (and with AttributeMode the apostrophe and the quotation
// mark) by entity references. A null text gives the empty text.
std::u16string EscapeMarkup(TextArg text, std::uint32_t flags);

// EscapeMarkup's work, appended to out; the text ends with the view.
void AppendEscaped(std::u16string& out, std::u16string_view text, std::uint32_t flags);

// Replaces numeric character references and the named references of
// kNamedEntityTable by the characters they stand for, one level deep. length is the
// number of units to read, or -1 for all units before the terminating NUL. A reference
// that is not closed within 9 units, or stands for nothing, is kept as it is.
std::u16string ResolveReferences(const char16_t* text, std::int32_t length);

// ResolveReferences's work on exactly length units, appended to out.
void AppendResolved(std::u16string& out, const char16_t* text, std::int32_t length);

// Writes value at out[count] as one unit (0 to 0xFFFF) or a surrogate pair (anything
// else, without range checks) and advances count.
void CodePointToUtf16(std::int32_t value, char16_t out[2], int& count);

// The code point of a lower-case entity name, or 0 when the table has none.
std::int32_t NamedEntityCodePoint(std::u16string_view lowerName);

} // namespace ferrow
