#include "discovery/TextConversion.h"

#include <algorithm>

#ifdef _WIN32
#include <limits>
#include <windows.h>
#else
#include <climits>
#include <cuchar>
#include <cwchar>
#endif

namespace ferrow {

namespace {

constexpr bool IsAscii(char c) {
    return static_cast<unsigned char>(c) < 0x80;
}

constexpr bool IsAscii16(char16_t c) {
    return c < 0x80;
}

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

} // namespace

#ifdef _WIN32

// The thread's ANSI code page; called without flags, the system puts U+FFFD (or the code
// page's default character) in place of what it cannot map.
std::u16string NarrowToUtf16(std::string_view narrow) {
    std::u16string wide;
    if (WidenAscii(narrow, wide)) {
        return wide;
    }
    if (narrow.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const int narrowLength = static_cast<int>(narrow.size());
    const int wideLength =
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), narrowLength, nullptr, 0);
    if (wideLength <= 0) {
        return {};
    }
    wide.assign(static_cast<std::size_t>(wideLength), u'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, narrow.data(), narrowLength,
                          reinterpret_cast<wchar_t*>(wide.data()), wideLength);
    return wide;
}

std::string Utf16ToNarrow(std::u16string_view wide) {
    if (std::all_of(wide.begin(), wide.end(), IsAscii16)) {
        return std::string(wide.begin(), wide.end());
    }
    if (wide.size() > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
        return {};
    }
    const auto* source = reinterpret_cast<const wchar_t*>(wide.data());
    const int wideLength = static_cast<int>(wide.size());
    const int narrowLength =
        ::WideCharToMultiByte(CP_THREAD_ACP, 0, source, wideLength, nullptr, 0, nullptr, nullptr);
    if (narrowLength <= 0) {
        return {};
    }
    std::string narrow(static_cast<std::size_t>(narrowLength), '\0');
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, source, wideLength, narrow.data(), narrowLength,
                          nullptr, nullptr);
    return narrow;
}

#else

namespace {

constexpr char16_t kReplacementCharacter = u'\uFFFD';

void AppendCodePoint(std::u16string& wide, char32_t codePoint) {
    if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
        wide += kReplacementCharacter;
    } else if (codePoint < 0x10000) {
        wide += static_cast<char16_t>(codePoint);
    } else if (codePoint <= 0x10FFFF) {
        codePoint -= 0x10000;
        wide += static_cast<char16_t>(0xD800 + (codePoint >> 10));
        wide += static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF));
    } else {
        wide += kReplacementCharacter;
    }
}

} // namespace

// The locale's narrow character set, one code point at a time; a byte that does not start
// a valid character becomes U+FFFD and decoding goes on after it.
std::u16string NarrowToUtf16(std::string_view narrow) {
    std::u16string wide;
    if (WidenAscii(narrow, wide)) {
        return wide;
    }
    const auto firstOther = std::find_if_not(narrow.begin(), narrow.end(), IsAscii);
    wide.resize(static_cast<std::size_t>(firstOther - narrow.begin()));
    std::mbstate_t state{};
    const char* next = &*firstOther;
    const char* const end = narrow.data() + narrow.size();
    while (next < end) {
        // The narrow sets a locale may use are stateless: an ASCII byte between two
        // characters stands for itself.
        if (IsAscii(*next)) {
            wide += static_cast<char16_t>(*next++);
            continue;
        }
        char32_t codePoint = 0;
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
    return wide;
}

// Back to the locale's narrow set; what it cannot hold becomes '?'.
std::string Utf16ToNarrow(std::u16string_view wide) {
    const auto firstOther = std::find_if_not(wide.begin(), wide.end(), IsAscii16);
    std::string narrow(wide.begin(), firstOther);
    if (firstOther == wide.end()) {
        return narrow;
    }
    std::mbstate_t state{};
    char bytes[MB_LEN_MAX];
    for (auto it = firstOther; it != wide.end(); ++it) {
        char32_t codePoint = *it;
        const bool highSurrogate = codePoint >= 0xD800 && codePoint <= 0xDBFF;
        if (highSurrogate && it + 1 != wide.end() && it[1] >= 0xDC00 && it[1] <= 0xDFFF) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (*++it - 0xDC00);
        } else if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            narrow += '?';
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
    return narrow;
}

#endif

} // namespace ferrow
