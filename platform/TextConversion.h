#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ferrow {

// Conversions between the narrow text of the platform and the network (the current
// locale's character set; the thread's ANSI code page on Windows) and UTF-16. ASCII
// converts unchanged. A byte that cannot be mapped becomes U+FFFD (a character that
// cannot be mapped back becomes '?'); only a conversion that cannot run at all gives
// empty text. The program calls setlocale(LC_ALL, "") at start-up.
std::u16string NarrowToUtf16(std::string_view narrow);
std::string Utf16ToNarrow(std::u16string_view wide);

// The text of a recorder's reply. Bytes that are valid UTF-8 and not all ASCII are read as
// UTF-8, XML's own default and what today's devices send, on every platform; anything else
// as NarrowToUtf16 reads it. Text in a legacy 8-bit set is almost never valid UTF-8, so
// such recorders read as they always have.
std::u16string ReplyTextToUtf16(std::string_view bytes);

// UTF-8 to UTF-16 on every platform, whatever the narrow set. Each ill-formed sequence (a
// byte that starts no character, or the longest start of a character that breaks off there)
// becomes one U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// The same for bytes that must be well-formed UTF-8: nothing when they are not.
std::optional<std::u16string> WellFormedUtf8ToUtf16(std::string_view utf8);

} // namespace ferrow
