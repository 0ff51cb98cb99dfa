#pragma once

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

} // namespace ferrow
