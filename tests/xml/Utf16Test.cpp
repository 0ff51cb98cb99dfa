#include "xml/Utf16.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>

namespace ferrow::utf16 {
namespace {

TEST(Utf16Test, PairsAtBothEndsOfTheSupplementaryRangeReadAndWriteBack) {
    // The compiler encodes the literals, independently of the code under test.
    const std::pair<std::u16string, char32_t> ends[] = {{u"\U00010000", U'\U00010000'},
                                                        {u"\U0010FFFF", U'\U0010FFFF'}};
    for (const auto& [text, codePoint] : ends) {
        const CodePointRead read = ReadCodePoint(text, 0);
        EXPECT_EQ(read.codePoint, codePoint);
        EXPECT_EQ(read.units, 2u);
        char16_t units[2] = {};
        ASSERT_EQ(WriteCodePoint(codePoint, units), 2);
        EXPECT_EQ(std::u16string(units, 2), text);
    }
}

TEST(Utf16Test, UnpairedSurrogatesReadAsThemselvesOneUnitEach) {
    const std::u16string highAtEnd{u'x', char16_t(0xDBFF)};
    const std::u16string highBeforeOther{char16_t(0xD800), u'a'};
    const std::u16string reversedPair{char16_t(0xDC00), char16_t(0xD800)};
    const std::pair<const std::u16string*, std::size_t> reads[] = {
        {&highAtEnd, 1}, {&highBeforeOther, 0}, {&reversedPair, 0}, {&reversedPair, 1}};
    for (const auto& [text, at] : reads) {
        const CodePointRead read = ReadCodePoint(*text, at);
        EXPECT_EQ(read.codePoint, (*text)[at]);
        EXPECT_EQ(read.units, 1u);
    }
}

} // namespace
} // namespace ferrow::utf16
