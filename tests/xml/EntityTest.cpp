#include "xml/EntityCodec.h"
#include "xml/NamedEntityTable.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>

namespace ferrow {
namespace {

std::u16string Resolve(const std::u16string& text) {
    return ResolveReferences(text.c_str(), static_cast<std::int32_t>(text.size()));
}

struct TableEntry {
    std::size_t bucket;
    std::u16string name;
    std::int32_t codePoint;
};

std::vector<TableEntry> ReadTable() {
    std::vector<TableEntry> entries;
    for (std::size_t bucket = 0; bucket < kNamedEntityBuckets; ++bucket) {
        std::u16string_view rest = kNamedEntityTable[bucket];
        while (!rest.empty()) {
            const auto length = static_cast<std::size_t>(rest[0] - u'0');
            std::int32_t codePoint = 0;
            for (std::size_t k = 1; k <= 4; ++k) {
                codePoint = codePoint * 10 + (rest[k] - u'0');
            }
            entries.push_back({bucket, std::u16string(rest.substr(5, length)), codePoint});
            rest.remove_prefix(5 + length);
        }
    }
    return entries;
}

TEST(EntityTest, TableHasTheShapeOfTheHtml4SetPlusApos) {
    const auto entries = ReadTable();
    EXPECT_EQ(entries.size(), 253u);
    std::set<std::u16string> keys;
    std::map<std::size_t, int> perBucket;
    for (const TableEntry& entry : entries) {
        keys.insert(entry.name);
        ++perBucket[entry.bucket];
        std::uint32_t sum = 0;
        for (char16_t unit : entry.name) {
            ASSERT_TRUE((unit >= u'a' && unit <= u'z') || (unit >= u'0' && unit <= u'9'));
            sum += unit;
        }
        EXPECT_EQ(sum % kNamedEntityBuckets, entry.bucket) << "misplaced entry";
        EXPECT_GE(entry.name.size(), 2u);
        EXPECT_LE(entry.name.size(), 8u);
    }
    EXPECT_EQ(keys.size(), 189u);
    EXPECT_EQ(kNamedEntityBuckets - perBucket.size(), 37u);
    EXPECT_EQ(std::max_element(perBucket.begin(), perBucket.end(),
                               [](const auto& a, const auto& b) { return a.second < b.second; })
                  ->second,
              6);
}

TEST(EntityTest, DoubledKeysYieldTheCapitalisedEntity) {
    const std::pair<std::u16string_view, int> lookups[] = {
        {u"eacute", 201},   {u"harr", 8660},  {u"yuml", 376}, {u"dagger", 8225}, {u"prime", 8243},
        {u"oslash", 216},   {u"ugrave", 217}, {u"euml", 203}, {u"sigma", 931},   {u"euro", 8364},
        {u"thetasym", 977}, {u"bogus", 0},    {u"", 0}};
    for (const auto& [name, codePoint] : lookups) {
        EXPECT_EQ(NamedEntityCodePoint(name), codePoint) << std::string(name.begin(), name.end());
    }
}

TEST(EntityTest, EveryDoubledKeyComesFirstCapitalised) {
    const auto entries = ReadTable();
    int doubled = 0;
    for (std::size_t k = 0; k + 1 < entries.size(); ++k) {
        for (std::size_t later = k + 1; later < entries.size(); ++later) {
            if (entries[later].name == entries[k].name) {
                ++doubled;
                EXPECT_EQ(NamedEntityCodePoint(entries[k].name), entries[k].codePoint);
            }
        }
    }
    EXPECT_EQ(doubled, 64);
}

TEST(EntityTest, ReferencesResolveOneLevelDeep) {
    EXPECT_EQ(Resolve(u"AT&amp;T"), u"AT&T");
    EXPECT_EQ(Resolve(u"&amp;lt;"), u"&lt;");
    EXPECT_EQ(Resolve(u"&AMP;&Amp;&amp;"), u"&&&");
    EXPECT_EQ(Resolve(u"&apos;&nbsp;"), u"'\u00a0");
    EXPECT_EQ(Resolve(u"&eacute;&Eacute;"), u"\u00c9\u00c9");
    EXPECT_EQ(Resolve(u"&harr;&oslash;"), u"\u21d4\u00d8");
    EXPECT_EQ(Resolve(u"&thetasym;"), u"\u03d1");
    // A name with a digit, and entries after the first of their bucket.
    EXPECT_EQ(Resolve(u"&sup1;&reg;&isin;"), u"\u00b9\u00ae\u2208");
}

TEST(EntityTest, NumericReferencesReadLikeStrtol) {
    for (const std::u16string text : {u"&#65;", u"&#x41;", u"&#X41;", u"&#0065;", u"&# 65;",
                                      u"&#+65;", u"&#x0x41;", u"&#00000065;"}) {
        EXPECT_EQ(Resolve(text), u"A") << "one of the spellings of A";
    }
    EXPECT_EQ(Resolve(u"&#x1F600;"), u"\xD83D\xDE00");
    EXPECT_EQ(Resolve(u"&#x110000;"), u"\xD800\xDC00");
    EXPECT_EQ(Resolve(u"&#12ab;c"), u"\u000c"
                                    u"c");
    EXPECT_EQ(Resolve(u"&#xD800;"), u"\xD800");
    EXPECT_EQ(Resolve(u"&#-1;"), u"\xDBBF\xDFFF");
}

TEST(EntityTest, UnresolvableReferencesStayAsTheyStand) {
    for (const std::u16string text :
         {u"&#0;", u"&#;", u"&#x;", u"&#abc;", u"&;", u"& amp;", u"&bogus;", u"&", u"a&",
          u"&#000000065;", u"&amp", u"&\u00e9;", u"&#x0x;", u"&ampxxxxxx;"}) {
        EXPECT_EQ(Resolve(text), text);
    }
}

TEST(EntityTest, ResolutionNeverReadsPastTheRange) {
    const std::u16string text = u"x&lt;y";
    EXPECT_EQ(ResolveReferences(text.c_str(), 4), u"x&lt");
    EXPECT_EQ(ResolveReferences(text.c_str(), -1), u"x<y");
    // Units after the range would close the reference; they are not looked at.
    const std::u16string nul(u"&amp\0;", 6);
    EXPECT_EQ(ResolveReferences(nul.c_str(), 6), nul);
}

TEST(EntityTest, CodePointToUtf16WritesOneOrTwoUnits) {
    char16_t out[2] = {};
    int count = 0;
    CodePointToUtf16(0xFFFF, out, count);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(out[0], 0xFFFF);
    count = 0;
    CodePointToUtf16(0x10FFFF, out, count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(out[0], 0xDBFF);
    EXPECT_EQ(out[1], 0xDFFF);
    count = 0;
    CodePointToUtf16(INT32_MIN, out, count); // no range check, and no overflow either
    EXPECT_EQ(count, 2);
}

TEST(EntityTest, EscapeMarkupReplacesMarkupCharacters) {
    EXPECT_EQ(EscapeMarkup(u"a<b & \"c\" 'd'>", AttributeMode),
              u"a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;");
    EXPECT_EQ(EscapeMarkup(u"a<b & \"c\" 'd'>", 0), u"a&lt;b &amp; \"c\" 'd'&gt;");
    EXPECT_EQ(EscapeMarkup(u"\xD800\u0001", AttributeMode), u"\xD800\u0001");
    EXPECT_EQ(EscapeMarkup(nullptr, AttributeMode), u"");
}

TEST(EntityTest, EscapedTextResolvesBackToItself) {
    std::u16string text;
    for (char16_t unit = 1; unit < 0x200; ++unit) {
        text += unit;
    }
    text += u"&amp; &#65; &bogus; &lt";
    const std::u16string escaped = EscapeMarkup(text.c_str(), AttributeMode);
    EXPECT_EQ(Resolve(escaped), text);
}

} // namespace
} // namespace ferrow
