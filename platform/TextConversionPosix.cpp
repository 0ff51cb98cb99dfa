#include "platform/TextConversionPlatform.h"
#include "xml/Utf16.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <cuchar>
#include <cwchar>
#include <langinfo.h>

namespace ferrow::text_conversion {

namespace {

constexpr char16_t kReplacementCharacter = u'\uFFFD';

// A surrogate or anything past U+10FFFF is no character: it becomes U+FFFD.
void AppendCodePoint(std::u16string& wide, char32_t codePoint) {
    if (utf16::IsSurrogate(codePoint) || codePoint > 0x10FFFF) {
        wide += kReplacementCharacter;
        return;
    }
    char16_t units[2];
    wide.append(units, static_cast<std::size_t>(utf16::WriteCodePoint(codePoint, units)));
}

bool LocaleIsUtf8() {
    return std::strcmp(::nl_langinfo(CODESET), "UTF-8") == 0;
}

constexpr bool IsContinuation(unsigned char byte, unsigned char low = 0x80,
                              unsigned char high = 0xBF) {
    return byte >= low && byte <= high;
}

// The length of the well-formed UTF-8 character at next (2 to 4 bytes: no overlong form,
// no surrogate, nothing past U+10FFFF) and its code point in codePoint; 0 for anything
// else. Such a character decodes to the same under every UTF-8 locale, so the library's
// per-character decoder, slow by comparison, is kept for the rest.
std::size_t DecodeWellFormedUtf8(const char* next, const char* end, char32_t& codePoint) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(next);
    const auto available = static_cast<std::size_t>(end - next);
    const unsigned char lead = bytes[0];
    if (lead >= 0xC2 && lead <= 0xDF && available >= 2 && IsContinuation(bytes[1])) {
        codePoint = static_cast<char32_t>(((lead & 0x1F) << 6) | (bytes[1] & 0x3F));
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF && available >= 3) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        if (IsContinuation(bytes[1], low, high) && IsContinuation(bytes[2])) {
            codePoint = static_cast<char32_t>(((lead & 0x0F) << 12) | ((bytes[1] & 0x3F) << 6) |
                                              (bytes[2] & 0x3F));
            return 3;
        }
    }
    if (lead >= 0xF0 && lead <= 0xF4 && available >= 4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        if (IsContinuation(bytes[1], low, high) && IsContinuation(bytes[2]) &&
            IsContinuation(bytes[3])) {
            codePoint = static_cast<char32_t>(((lead & 0x07) << 18) | ((bytes[1] & 0x3F) << 12) |
                                              ((bytes[2] & 0x3F) << 6) | (bytes[3] & 0x3F));
            return 4;
        }
    }
    return 0;
}

} // namespace

// The locale's narrow character set, one code point at a time; a byte that does not start
// a valid character becomes U+FFFD and decoding goes on after it.
bool AppendNarrowAsUtf16(std::string_view narrow, std::u16string& wide) {
    std::mbstate_t state{};
    const char* next = narrow.data();
    const char* const end = narrow.data() + narrow.size();
    const bool utf8 = LocaleIsUtf8();
    while (next < end) {
        // The narrow sets a locale may use are stateless: ASCII bytes between two
        // characters stand for themselves, and go over as a run.
        if (IsAscii(*next)) {
            const char* const runEnd = std::find_if_not(next, end, IsAscii);
            const std::size_t start = wide.size();
            wide.resize(start + static_cast<std::size_t>(runEnd - next));
            std::copy(next, runEnd, wide.begin() + static_cast<std::ptrdiff_t>(start));
            next = runEnd;
            continue;
        }
        char32_t codePoint = 0;
        if (utf8) {
            if (const std::size_t length = DecodeWellFormedUtf8(next, end, codePoint)) {
                AppendCodePoint(wide, codePoint);
                next += length;
                continue;
            }
        }
        const std::size_t used =
            std::mbrtoc32(&codePoint, next, static_cast<std::size_t>(end - next), &state);
        if (used == static_cast<std::size_t>(-1)) {
            wide += kReplacementCharacter;
            ++next;
            state = std::mbstate_t{};
        } else if (used == static_cast<std::size_t>(-2)) {
            wide += kReplacementCharacter; // the text ends inside a character
            break;
        } else {
            AppendCodePoint(wide, codePoint);
            next += used == static_cast<std::size_t>(-3) ? 0 : std::max<std::size_t>(used, 1);
        }
    }
    return true;
}

// Back to the locale's narrow set; what it cannot hold becomes '?'.
bool AppendUtf16AsNarrow(std::u16string_view wide, std::string& narrow) {
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (std::size_t at = 0; at < wide.size();) {
        const auto [codePoint, units] = utf16::ReadCodePoint(wide, at);
        at += units;
        if (utf16::IsSurrogate(codePoint)) {
            narrow += '?'; // unpaired
            continue;
        }
        const std::size_t written = std::c32rtomb(bytes, codePoint, &state);
        if (written == static_cast<std::size_t>(-1)) {
            narrow += '?';
            state = std::mbstate_t{};
        } else {
            narrow.append(bytes, written);
        }
    }
    return true;
}

} // namespace ferrow::text_conversion
