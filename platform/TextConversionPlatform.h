#pragma once

// The platform's half of TextConversion: the shared part handles the leading ASCII run
// (ASCII stands for itself in every narrow set in use) and leaves the rest to these, which
// TextConversionPosix.cpp and TextConversionWindows.cpp define.

#include <string>
#include <string_view>

namespace ferrow::text_conversion {

constexpr bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

constexpr bool IsAscii16(char16_t c) {
    return c < 0x80;
}

// Appends the UTF-16 form of narrow, which starts with a byte above 0x7F, to wide; false
// when the conversion cannot run at all.
bool AppendNarrowAsUtf16(std::string_view narrow, std::u16string& wide);

// Appends the narrow form of wide, which starts with a unit above 0x7F, to narrow; false
// when the conversion cannot run at all.
bool AppendUtf16AsNarrow(std::u16string_view wide, std::string& narrow);

} // namespace ferrow::text_conversion
