#include "rows/TerminalText.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

TEST(ToUtf8, EncodesEveryLengthOfSequence) {
    EXPECT_EQ(ToUtf8(u"NVR-8"), "NVR-8");
    EXPECT_EQ(ToUtf8(u"M\u00FCller"), "M\xC3\xBCller");
    EXPECT_EQ(ToUtf8(u"\u6771\u4EAC"), "\xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(ToUtf8(u"\U0001F4F7"), "\xF0\x9F\x93\xB7"); // surrogate pair
    EXPECT_EQ(ToUtf8(u"\uFFFF"), "\xEF\xBF\xBF");
}

TEST(ToUtf8, ReplacesUnpairedSurrogates) {
    const std::u16string loneHigh{u'a', char16_t(0xD83D), u'b'};
    const std::u16string loneLow{char16_t(0xDCF7), u'x'};
    const std::u16string highAtEnd{u'x', char16_t(0xD83D)};
    const std::u16string reversedPair{char16_t(0xDCF7), char16_t(0xD83D)};
    EXPECT_EQ(ToUtf8(loneHigh), "a\xEF\xBF\xBD"
                                "b");
    EXPECT_EQ(ToUtf8(loneLow), "\xEF\xBF\xBDx");
    EXPECT_EQ(ToUtf8(highAtEnd), "x\xEF\xBF\xBD");
    EXPECT_EQ(ToUtf8(reversedPair), "\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(ToUtf8, KeepsNulAndControlCharacters) {
    const std::u16string text{u'a', u'\0', u'\x1B', u'b'};
    EXPECT_EQ(ToUtf8(text), std::string("a\0\x1B"
                                        "b",
                                        4));
}

TEST(ForTerminal, ReplacesControlCharactersOnly) {
    const std::u16string text{u'\x1B', u'[',    u'2',    u'J',      u'\n', u'\t',
                              u'\x7F', u'\x9B', u'\xA0', u'\u00FC', u'~'};
    const std::u16string expected{u'\uFFFD', u'[',      u'2',    u'J',      u'\uFFFD', u'\uFFFD',
                                  u'\uFFFD', u'\uFFFD', u'\xA0', u'\u00FC', u'~'};
    EXPECT_EQ(ForTerminal(text), expected);
}

TEST(ForTerminal, ReplacesFormatCharactersPerCodePoint) {
    // Overrides, zero-width space, byte order mark, soft hyphen, a tag (one pair, one U+FFFD).
    EXPECT_EQ(ForTerminal(u"a\u202Eb\u202Cc\u200Bd\uFEFFe\u00ADf\U000E0041g"),
              u"a\uFFFDb\uFFFDc\uFFFDd\uFFFDe\uFFFDf\uFFFDg");
    // Their neighbours outside the category stay, a pair stays whole.
    EXPECT_EQ(ForTerminal(u"\u00AC\u2010\u2065\U0001F4F7\U000E0080"),
              u"\u00AC\u2010\u2065\U0001F4F7\U000E0080");
    const std::u16string loneSurrogates{char16_t(0xDB40), u'x', char16_t(0xDC41)};
    EXPECT_EQ(ForTerminal(loneSurrogates), loneSurrogates);
}

TEST(DisplayWidth, CountsColumnsNotUnits) {
    EXPECT_EQ(DisplayWidth(u""), 0u);
    EXPECT_EQ(DisplayWidth(u"Hikvision"), 9u);
    EXPECT_EQ(DisplayWidth(u"M\u00FCller"), 6u);
    EXPECT_EQ(DisplayWidth(u"Mu\u0308ller"), 6u);                    // u + combining diaeresis
    EXPECT_EQ(DisplayWidth(u"\u6771\u4EAC\u30AB\u30E1\u30E9"), 10u); // CJK, katakana
    EXPECT_EQ(DisplayWidth(u"\uD55C\uAD6D"), 4u);                    // Hangul syllables
    EXPECT_EQ(DisplayWidth(u"\uFF21\uFF22"), 4u);                    // fullwidth letters
    EXPECT_EQ(DisplayWidth(u"\U0001F4F7"), 2u);                      // one pair, one glyph
    EXPECT_EQ(DisplayWidth(u"\U00020000"), 2u);                      // CJK extension B
    EXPECT_EQ(DisplayWidth(u"a\u200Bb"), 2u);                        // zero-width space
    EXPECT_EQ(DisplayWidth(std::u16string{char16_t(0xD800)}), 1u);   // shown as U+FFFD
}

} // namespace
} // namespace ferrow
