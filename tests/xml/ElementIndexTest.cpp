#include "xml/ElementIndex.h"

#include "xml/CXmlDoc.h"

#include <gtest/gtest.h>
#include <string>

namespace ferrow {
namespace {

// Marks every entry below count with its own index, so moves can be detected.
void Mark(ElementIndex& index, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        index.EntryAt(i).start = i;
        index.EntryAt(i).parent = -i;
    }
}

void ExpectMarked(const ElementIndex& index, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(index.EntryAt(i).start, i) << "entry " << i;
        ASSERT_EQ(index.EntryAt(i).parent, -i) << "entry " << i;
    }
}

TEST(ElementIndexTest, FirstReservationFollowsTextLength) {
    CXmlDoc empty;
    EXPECT_EQ(empty.Index().Capacity(), 8);

    CXmlDoc hundred;
    hundred.LoadText((u"<r>" + std::u16string(93, u'x') + u"</r>").c_str());
    EXPECT_EQ(hundred.Index().Capacity(), 9);

    CXmlDoc sixHundredForty;
    sixHundredForty.LoadText((u"<r>" + std::u16string(633, u'x') + u"</r>").c_str());
    EXPECT_EQ(sixHundredForty.Index().Capacity(), 18);
}

TEST(ElementIndexTest, CapacityNeverShrinksAcrossLoads) {
    CXmlDoc doc;
    doc.LoadText((u"<r>" + std::u16string(633, u'x') + u"</r>").c_str());
    doc.LoadText(u"<r/>");
    EXPECT_EQ(doc.Index().Capacity(), 18);
}

TEST(ElementIndexTest, NewEntryGrowsByHalfWhenFull) {
    ElementIndex index;
    index.ReserveEntries(9);
    index.ResetEntries();
    for (std::int32_t expected = 1; expected < 9; ++expected) {
        ASSERT_EQ(index.NewEntry(), expected);
    }
    EXPECT_EQ(index.Capacity(), 9);
    Mark(index, 9);
    EXPECT_EQ(index.NewEntry(), 9);
    EXPECT_EQ(index.Capacity(), 13);
    ExpectMarked(index, 9);
}

TEST(ElementIndexTest, GrowthStopsAtTheEndOfTheNextSegment) {
    ElementIndex index;
    index.Grow(60000);
    Mark(index, 60000);
    index.Grow(200000);
    EXPECT_EQ(index.Capacity(), 131072);
    ExpectMarked(index, 60000);
    // The first segment was widened to a full one: its tail and the next segment are usable.
    index.EntryAt(65535).start = 65535;
    index.EntryAt(131071).start = 131071;
    EXPECT_EQ(index.EntryAt(65535).start, 65535);
    EXPECT_EQ(index.EntryAt(131071).start, 131071);
}

TEST(ElementIndexTest, GrowthFromNothingSpansTwoSegmentsAtMost) {
    ElementIndex index;
    index.Grow(1000000);
    EXPECT_EQ(index.Capacity(), 131072);
}

TEST(ElementIndexTest, GrowthWithinTheLastSegmentKeepsItsEntries) {
    ElementIndex index;
    index.Grow(65536);
    index.Grow(70000);
    Mark(index, 70000);
    index.Grow(90000);
    EXPECT_EQ(index.Capacity(), 90000);
    ExpectMarked(index, 70000);
}

TEST(ElementIndexTest, ReserveNeverLowersCapacity) {
    ElementIndex index;
    index.ReserveEntries(100);
    EXPECT_TRUE(index.ReserveEntries(10));
    EXPECT_EQ(index.Capacity(), 100);
}

TEST(ElementIndexTest, EntriesKeepTheirIndexOverManySegments) {
    ElementIndex index;
    index.ReserveEntries(8);
    index.ResetEntries();
    index.EntryAt(0).start = 0;
    index.EntryAt(0).parent = 0;
    constexpr std::int32_t kCount = 300000;
    for (std::int32_t expected = 1; expected < kCount; ++expected) {
        const std::int32_t i = index.NewEntry();
        ASSERT_EQ(i, expected);
        index.EntryAt(i).start = i;
        index.EntryAt(i).parent = -i;
    }
    EXPECT_GE(index.Capacity(), kCount);
    ExpectMarked(index, kCount);
}

TEST(ElementIndexTest, PackedTagLengthsHoldTheirFullWidths) {
    ElementEntry entry{};
    entry.SetTagLengths(kMaxStartTagLength, kMaxEndTagLength);
    EXPECT_EQ(entry.StartTagLength(), 4194303);
    EXPECT_EQ(entry.EndTagLength(), 1023);
    entry.flagsAndLevel = Unended | kMaxLevel;
    EXPECT_EQ(entry.Level(), 65535u);
    EXPECT_TRUE(entry.Has(Unended));
    EXPECT_FALSE(entry.Has(FirstChild));
}

TEST(ElementIndexTest, EmptyElementCoversItsStartTag) {
    CXmlDoc doc;
    doc.LoadText(u"80503736<a/>");
    const ElementEntry& a = doc.Index().EntryAt(1);
    EXPECT_EQ(a.start, 8);
    EXPECT_EQ(a.length, 4);
    EXPECT_EQ(a.StartTagLength(), 4);
    EXPECT_EQ(a.EndTagLength(), 0);
    EXPECT_TRUE(a.IsStartTagOnly());
}

TEST(ElementIndexTest, ElementWithContentDerivesItsContentRange) {
    CXmlDoc doc;
    doc.LoadText(u"<b>xy</b>");
    const ElementEntry& b = doc.Index().EntryAt(1);
    EXPECT_EQ(b.start, 0);
    EXPECT_EQ(b.length, 9);
    EXPECT_EQ(b.StartTagLength(), 3);
    EXPECT_EQ(b.EndTagLength(), 4);
    EXPECT_EQ(b.ContentStart(), 3);
    EXPECT_EQ(b.ContentLength(), 2);
    EXPECT_FALSE(b.IsStartTagOnly());
}

TEST(ElementIndexTest, DocumentEntryDescribesTheWholeText) {
    CXmlDoc doc;
    const std::u16string text = u"80503736<XNR><IP>1</IP></XNR>";
    doc.LoadText(text.c_str());
    const ElementEntry& document = doc.Index().EntryAt(0);
    EXPECT_EQ(document.start, 0);
    EXPECT_EQ(document.length, static_cast<std::int32_t>(text.size()));
    EXPECT_EQ(document.firstChild, 1);
    EXPECT_EQ(document.Level(), 0u);
}

} // namespace
} // namespace ferrow
