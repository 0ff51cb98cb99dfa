#include "rows/TerminalText.h"

#include "xml/Utf16.h"

#include <array>
#include <utility>

namespace ferrow {
namespace {

constexpr char32_t kReplacement = U'\xFFFD';

// Calls visit(codePoint, units) for each code point, with the one or two units it came from;
// an unpaired surrogate comes out as U+FFFD with its own unit.
template <class Visit> void ForEachCodePoint(std::u16string_view text, Visit visit) {
    for (std::size_t i = 0; i < text.size();) {
        const auto [codePoint, units] = utf16::ReadCodePoint(text, i);
        visit(utf16::IsSurrogate(codePoint) ? kReplacement : codePoint, text.substr(i, units));
        i += units;
    }
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += char(codePoint);
    } else if (codePoint < 0x800) {
        out += char(0xC0 | (codePoint >> 6));
        out += char(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        out += char(0xE0 | (codePoint >> 12));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    } else {
        out += char(0xF0 | (codePoint >> 18));
        out += char(0x80 | ((codePoint >> 12) & 0x3F));
        out += char(0x80 | ((codePoint >> 6) & 0x3F));
        out += char(0x80 | (codePoint & 0x3F));
    }
}

bool IsControl(char32_t codePoint) {
    return codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F);
}

using Range = std::pair<char32_t, char32_t>;

// Combining marks and zero-width characters: no column of their own.
constexpr std::array<Range, 8> kZeroWidth{{
    {0x0300, 0x036F}, // combining diacritical marks
    {0x0483, 0x0489}, // combining Cyrillic
    {0x0591, 0x05BD}, // Hebrew points
    {0x1AB0, 0x1AFF}, // combining diacritical marks extended
    {0x1DC0, 0x1DFF}, // combining diacritical marks supplement
    {0x200B, 0x200F}, // zero-width space, joiners, direction marks
    {0x20D0, 0x20FF}, // combining marks for symbols
    {0xFE20, 0xFE2F}, // combining half marks
}};

// East Asian wide and fullwidth blocks: two columns each.
constexpr std::array<Range, 13> kWide{{
    {0x1100, 0x115F},   // Hangul Jamo leading consonants
    {0x2E80, 0x303E},   // CJK radicals, Kangxi, CJK symbols and punctuation
    {0x3041, 0x33FF},   // Hiragana, Katakana, Bopomofo, CJK compatibility
    {0x3400, 0x4DBF},   // CJK extension A
    {0x4E00, 0x9FFF},   // CJK unified ideographs
    {0xA000, 0xA4CF},   // Yi
    {0xAC00, 0xD7A3},   // Hangul syllables
    {0xF900, 0xFAFF},   // CJK compatibility ideographs
    {0xFE30, 0xFE4F},   // CJK compatibility forms
    {0xFF00, 0xFF60},   // fullwidth forms
    {0xFFE0, 0xFFE6},   // fullwidth signs
    {0x1F300, 0x1F64F}, // pictographs and emoticons
    {0x20000, 0x3FFFD}, // CJK extensions B and later
}};

// Format characters (general category Cf, Unicode 15.0): invisible, yet they reorder or hide
// the text around them.
constexpr std::array<Range, 21> kFormat{{
    {0x00AD, 0x00AD},   // soft hyphen
    {0x0600, 0x0605},   // Arabic number signs
    {0x061C, 0x061C},   // Arabic letter mark
    {0x06DD, 0x06DD},   // Arabic end of ayah
    {0x070F, 0x070F},   // Syriac abbreviation mark
    {0x0890, 0x0891},   // Arabic pound and piastre marks above
    {0x08E2, 0x08E2},   // Arabic disputed end of ayah
    {0x180E, 0x180E},   // Mongolian vowel separator
    {0x200B, 0x200F},   // zero-width space, joiners, direction marks
    {0x202A, 0x202E},   // bidirectional embeddings and overrides
    {0x2060, 0x2064},   // word joiner, invisible operators
    {0x2066, 0x206F},   // bidirectional isolates, deprecated format characters
    {0xFEFF, 0xFEFF},   // zero-width no-break space (byte order mark)
    {0xFFF9, 0xFFFB},   // interlinear annotation
    {0x110BD, 0x110BD}, // Kaithi number sign
    {0x110CD, 0x110CD}, // Kaithi number sign above
    {0x13430, 0x1343F}, // Egyptian hieroglyph format controls
    {0x1BCA0, 0x1BCA3}, // shorthand format controls
    {0x1D173, 0x1D17A}, // musical symbol beams, ties, slurs and phrases
    {0xE0001, 0xE0001}, // language tag
    {0xE0020, 0xE007F}, // tag characters
}};

template <std::size_t N> bool InRanges(const std::array<Range, N>& ranges, char32_t codePoint) {
    for (const auto& [first, last] : ranges) {
        if (codePoint >= first && codePoint <= last) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    ForEachCodePoint(
        text, [&out](char32_t codePoint, std::u16string_view) { AppendUtf8(out, codePoint); });
    return out;
}

std::u16string ForTerminal(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    ForEachCodePoint(text, [&out](char32_t codePoint, std::u16string_view units) {
        if (IsControl(codePoint) || InRanges(kFormat, codePoint)) {
            out += char16_t(kReplacement);
        } else {
            out += units; // an unpaired surrogate too: ToUtf8 replaces it later
        }
    });
    return out;
}

std::size_t DisplayWidth(std::u16string_view text) {
    std::size_t width = 0;
    ForEachCodePoint(text, [&width](char32_t codePoint, std::u16string_view) {
        if (InRanges(kZeroWidth, codePoint)) {
            return;
        }
        width += InRanges(kWide, codePoint) ? 2 : 1;
    });
    return width;
}

} // namespace ferrow
