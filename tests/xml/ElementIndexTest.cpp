#include "xml/ElementIndex.h"

#include "xml/CXmlDoc.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>

namespace ferrow {
namespace {

constexpr std::int32_t kSegment = ElementIndex::kSegmentSize;

// Marks entry i with its own index in its first and last field, so that an entry lost,
// moved or copied only in part reads back wrong.
void Mark(ElementIndex& index, std::int32_t i) {
    index.EntryAt(i).start = i;
    index.EntryAt(i).previousSibling = -i;
}

void ExpectMarked(const ElementIndex& index, std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) {
        ASSERT_EQ(index.EntryAt(i).start, i) << "entry " << i;
        ASSERT_EQ(index.EntryAt(i).previousSibling, -i) << "entry " << i;
    }
}

// Hands out entries 1 to count - 1 after the document entry, marking each, and checks
// that each index comes in order and that every entry reads back at the end.
void FillAndCheck(ElementIndex& index, std::int32_t count) {
    index.ResetEntries();
    Mark(index, 0);
    for (std::int32_t expected = 1; expected < count; ++expected) {
        const std::int32_t i = index.NewEntry();
        ASSERT_EQ(i, expected);
        Mark(index, i);
    }
    ASSERT_EQ(index.NextFree(), count);
    ExpectMarked(index, count);
    // A smaller reservation afterwards takes nothing away.
    index.ReserveEntries(1);
    ExpectMarked(index, count);
}

// Storage for exactly reserved entries, where one reservation may not reach that far.
void ReserveExactly(ElementIndex& index, std::int32_t reserved) {
    while (index.Capacity() < reserved) {
        index.ReserveEntries(reserved);
    }
}

TEST(ElementIndexTest, EntriesKeepTheirIndexAndContentAsTheIndexGrows) {
    ElementIndex index;
    FillAndCheck(index, 8 * kSegment + 123);
    // Once reset, the same storage hands out the same indices again.
    FillAndCheck(index, 1000);
}

// Around the end of whatever storage was reserved: up to it, one below, one past, for
// every small size, so that the end of the first segment's inline part is among them.
TEST(ElementIndexTest, GrowsFromAnySmallReservation) {
    for (std::int32_t reserved = 1; reserved <= 100; ++reserved) {
        for (const std::int32_t count : {reserved - 1, reserved, reserved + 1}) {
            SCOPED_TRACE(testing::Message() << "reserved " << reserved << ", count " << count);
            ElementIndex index;
            index.ReserveEntries(reserved);
            FillAndCheck(index, std::max(count, 1));
        }
    }
}

TEST(ElementIndexTest, GrowsAcrossEverySegmentBoundary) {
    for (std::int32_t segments = 1; segments <= 3; ++segments) {
        const std::int32_t boundary = segments * kSegment;
        for (const std::int32_t reserved : {boundary - 1, boundary, boundary + 1}) {
            for (const std::int32_t count : {boundary - 1, boundary, boundary + 1}) {
                SCOPED_TRACE(testing::Message() << "reserved " << reserved << ", count " << count);
                ElementIndex index;
                ReserveExactly(index, reserved);
                FillAndCheck(index, count);
            }
        }
    }
}

// The parse hands out the entries: elements past the first segment keep their links
// and their text, also when a smaller document was loaded in between.
TEST(ElementIndexTest, DocumentWithElementsInSeveralSegmentsReadsBack) {
    constexpr int kElements = 2 * kSegment + 10;
    std::u16string text = u"<r>";
    for (int i = 0; i < kElements; ++i) {
        const std::string number = std::to_string(i);
        text += u"<a>" + std::u16string(number.begin(), number.end()) + u"</a>";
    }
    text += u"</r>";

    CXmlDoc doc;
    for (const bool smallerFirst : {false, true}) {
        if (smallerFirst) {
            ASSERT_TRUE(doc.LoadText(u"<r><a>x</a></r>"));
        }
        ASSERT_TRUE(doc.LoadText(std::u16string_view(text)));
        ASSERT_EQ(doc.Index().NextFree(), kElements + 2);
        for (int i = 0; i < kElements; ++i) {
            ASSERT_TRUE(doc.FindChildElement(u"a")) << i;
            const std::string number = std::to_string(i);
            ASSERT_EQ(doc.ChildText(), std::u16string(number.begin(), number.end()));
            ASSERT_EQ(doc.Index().EntryAt(doc.Child()).parent, 1);
        }
        EXPECT_FALSE(doc.FindChildElement(u"a"));
    }
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
