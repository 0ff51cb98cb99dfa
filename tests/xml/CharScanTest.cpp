#include "xml/CharScan.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <string_view>

namespace ferrow {
namespace {

constexpr std::int32_t kLongest = 40; // several blocks of eight and a tail

// Units that share a byte with '<', '&' or NUL: a search comparing bytes, not whole
// units, would stop at them.
constexpr char16_t kLookalikes[] = {u'\u3C00', u'\u013C', u'\u2600', u'\u0126', u'\u0100'};

std::u16string Filler(std::int32_t length) {
    std::u16string text;
    for (std::int32_t k = 0; k < length; ++k) {
        text += kLookalikes[k % std::size(kLookalikes)];
        text += u'a';
    }
    text.resize(static_cast<std::size_t>(length));
    return text;
}

std::int32_t Find(const std::u16string& text, std::int32_t from, std::int32_t end) {
    return FindFirstOf<u'<', u'&'>(text.c_str(), from, end);
}

TEST(CharScanTest, FindsEachUnitOfTheSetAtEveryPosition) {
    for (char16_t special : {u'<', u'&'}) {
        for (std::int32_t length = 1; length <= kLongest; ++length) {
            for (std::int32_t at = 0; at < length; ++at) {
                std::u16string text = Filler(length);
                text[static_cast<std::size_t>(at)] = special;
                EXPECT_EQ(Find(text, 0, length), at) << "length " << length;
            }
        }
    }
}

TEST(CharScanTest, FindsTheFirstOfSeveral) {
    std::u16string text = Filler(kLongest);
    text[30] = u'&';
    text[9] = u'<';
    text[17] = u'<';
    EXPECT_EQ(Find(text, 0, kLongest), 9);
    EXPECT_EQ(Find(text, 9, kLongest), 9);
    EXPECT_EQ(Find(text, 10, kLongest), 17);
    EXPECT_EQ(Find(text, 18, kLongest), 30);
}

TEST(CharScanTest, GivesTheEndWhenNoneStandsBeforeIt) {
    for (std::int32_t length = 0; length <= kLongest; ++length) {
        const std::u16string text = Filler(length) + u"<&";
        for (std::int32_t from = 0; from <= length; ++from) {
            EXPECT_EQ(Find(text, from, length), length) << "from " << from;
        }
    }
}

TEST(CharScanTest, ReadsNothingAtOrPastTheEnd) {
    // Every unit read lies in a buffer of exactly the searched length, so the address
    // sanitizer reports any read past it.
    for (std::int32_t length = 0; length <= kLongest; ++length) {
        const std::u16string filler = Filler(length);
        const auto buffer = std::make_unique<char16_t[]>(static_cast<std::size_t>(length));
        std::copy(filler.begin(), filler.end(), buffer.get());
        EXPECT_EQ((FindFirstOf<u'<', u'&'>(buffer.get(), 0, length)), length);
    }
}

} // namespace
} // namespace ferrow
