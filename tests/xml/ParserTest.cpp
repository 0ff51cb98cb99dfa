#include "HugeText.h"
#include "xml/CXmlDoc.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace ferrow {
namespace {

const ElementEntry& Entry(const CXmlDoc& doc, std::int32_t i) {
    return doc.Index().EntryAt(i);
}

// Checks the links of every entry against each other: parents, sibling chains and the
// last-child link of each first child.
void ExpectConsistentLinks(const CXmlDoc& doc) {
    const std::int32_t count = doc.Index().NextFree();
    for (std::int32_t parent = 0; parent < count; ++parent) {
        const std::int32_t first = Entry(doc, parent).firstChild;
        if (first == 0) {
            continue;
        }
        std::int32_t last = 0;
        std::int32_t previous = 0;
        for (std::int32_t child = first; child != 0; child = Entry(doc, child).nextSibling) {
            ASSERT_EQ(Entry(doc, child).parent, parent) << "child " << child;
            if (previous != 0) {
                ASSERT_EQ(Entry(doc, child).previousSibling, previous) << "child " << child;
            }
            previous = child;
            last = child;
        }
        ASSERT_EQ(Entry(doc, first).previousSibling, last) << "parent " << parent;
    }
}

TEST(ParserTest, ReplyWithPrefixIsWellFormed) {
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(u"80503736<XNR><Model>A</Model></XNR>"));
    EXPECT_TRUE(doc.CheckWellFormed());
    EXPECT_EQ(doc.ResultLog(), u"");
    EXPECT_EQ(Entry(doc, 1).start, 8);
    EXPECT_EQ(Entry(doc, 1).Level(), 0u);
    EXPECT_TRUE(Entry(doc, 1).Has(FirstChild));
    EXPECT_EQ(Entry(doc, 2).start, 13);
    EXPECT_EQ(Entry(doc, 2).Level(), 1u);
    EXPECT_EQ(Entry(doc, 2).parent, 1);
    EXPECT_EQ(Entry(doc, 1).length, 27);
    EXPECT_EQ(doc.Index().NextFree(), 3);
}

TEST(ParserTest, DeclarationCommentsAndLineBreaksAreSkipped) {
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(
        u"80503736<?xml version=\"1.0\"?>\r\n<!-- note -->\r\n"
        u"<!DOCTYPE XNR [ <!ELEMENT XNR ANY> ]>\r\n<XNR>\r\n<IP>1</IP>\r\n</XNR>\r\n"));
    EXPECT_EQ(doc.ResultLog(), u"");
    EXPECT_EQ(doc.Index().NextFree(), 3);
}

TEST(ParserTest, SiblingsAreLinkedInDocumentOrder) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<r><a/><b>x</b><c><d/></c></r>"));
    ExpectConsistentLinks(doc);
    EXPECT_EQ(Entry(doc, 1).firstChild, 2);
    EXPECT_EQ(Entry(doc, 2).nextSibling, 3);
    EXPECT_EQ(Entry(doc, 3).nextSibling, 4);
    EXPECT_EQ(Entry(doc, 4).nextSibling, 0);
    EXPECT_EQ(Entry(doc, 2).previousSibling, 4); // the first child names the last
    EXPECT_EQ(Entry(doc, 4).previousSibling, 3);
    EXPECT_EQ(Entry(doc, 4).firstChild, 5);
    EXPECT_EQ(Entry(doc, 5).Level(), 2u);
    EXPECT_TRUE(Entry(doc, 2).Has(FirstChild));
    EXPECT_FALSE(Entry(doc, 3).Has(FirstChild));
}

TEST(ParserTest, TruncatedReplyMovesChildrenUpAndIsIllFormed) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"80503736<XNR><Model>A</Model><Ma"));
    ExpectConsistentLinks(doc);
    const ElementEntry& xnr = Entry(doc, 1);
    EXPECT_TRUE(xnr.Has(Unended));
    EXPECT_EQ(xnr.length, xnr.StartTagLength());
    EXPECT_EQ(xnr.firstChild, 0);
    EXPECT_EQ(xnr.nextSibling, 2); // Model follows it at the top level
    EXPECT_EQ(Entry(doc, 2).parent, 0);
    EXPECT_EQ(Entry(doc, 2).Level(), 1u); // levels stay as parsed
    // The fault met inside XNR moves with it to the document.
    EXPECT_FALSE(xnr.Has(ErrorInside));
    EXPECT_TRUE(Entry(doc, 0).Has(ErrorInside));
    EXPECT_TRUE(Entry(doc, 0).Has(IllFormed));
}

TEST(ParserTest, EnclosingEndTagClosesTheOpenInnerElements) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a><b><c>x</a>"));
    ExpectConsistentLinks(doc);
    EXPECT_EQ(doc.ResultLog(), u"<unended_start_tag tagname=\"c\" offset=\"6\" offset2=\"11\"/>"
                               u"<unended_start_tag tagname=\"b\" offset=\"3\" offset2=\"11\"/>");
    EXPECT_EQ(Entry(doc, 1).length, 14); // a ends at </a>
    EXPECT_FALSE(Entry(doc, 1).Has(Unended));
    // b and c now stand side by side under a.
    EXPECT_EQ(Entry(doc, 1).firstChild, 2);
    EXPECT_EQ(Entry(doc, 2).nextSibling, 3);
    EXPECT_EQ(Entry(doc, 3).parent, 1);
    EXPECT_TRUE(Entry(doc, 2).Has(Unended));
    EXPECT_TRUE(Entry(doc, 3).Has(Unended));
}

TEST(ParserTest, LoneEndTagClosesNothing) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a></b></a>"));
    EXPECT_EQ(doc.ResultLog(), u"<lone_end_tag tagname=\"b\" offset=\"3\"/>");
    EXPECT_EQ(Entry(doc, 1).length, 11);
    EXPECT_TRUE(Entry(doc, 1).Has(ErrorInside));
    EXPECT_FALSE(Entry(doc, 1).Has(Unended));
}

TEST(ParserTest, EndTagMatchesTheInnermostElementOfItsName) {
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(u"<a><a>x</a></a>"));
    EXPECT_EQ(Entry(doc, 2).length, 8);
    EXPECT_EQ(Entry(doc, 1).length, 15);
    // An end tag may carry whitespace and matches a start tag with attributes.
    EXPECT_TRUE(doc.LoadText(u"<Model id=\"1\">x</Model >"));
    EXPECT_FALSE(doc.LoadText(u"<Model>x</Mode>"));
    EXPECT_FALSE(doc.LoadText(u"<Mode>x</Model>"));
}

TEST(ParserTest, MalformedMarkupInsideAnElementKeepsTheElement) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a>x<1>y</a>"));
    EXPECT_EQ(doc.ResultLog(), u"<first_tag_syntax offset=\"4\"/>");
    EXPECT_EQ(Entry(doc, 1).length, 12);
    EXPECT_TRUE(Entry(doc, 1).Has(ErrorInside));
}

TEST(ParserTest, RootChecks) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a/><b/>"));
    EXPECT_EQ(doc.ResultLog(), u"<root_has_sibling/>");
    EXPECT_FALSE(doc.LoadText(u"80503736"));
    EXPECT_EQ(doc.ResultLog(), u"<no_root_element/>");
    EXPECT_FALSE(doc.LoadText(u""));
    EXPECT_EQ(doc.ResultLog(), u"");
    EXPECT_FALSE(doc.LoadText(nullptr));
    EXPECT_FALSE(doc.CheckWellFormed());
}

TEST(ParserTest, ATextBesideTheRootIsNoFault) {
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(u"before<r/>after<!-- c --><?p?>"));
    EXPECT_EQ(doc.ResultLog(), u"");
}

TEST(ParserTest, AnyNameIsIndexed) {
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(u"<x:y-z.1 a='1'><_q/><\u00e9/></x:y-z.1>"));
    EXPECT_EQ(doc.Index().NextFree(), 4);
}

TEST(ParserTest, FaultInsideDeclarationLeavesNoTrace) {
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(u"<!DOCTYPE r [<!X>]><r/>"));
    EXPECT_EQ(doc.ResultLog(), u"");
}

TEST(ParserTest, ReloadStartsAfresh) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a><b><c><d></a>"));
    EXPECT_TRUE(doc.LoadText(u"<r><s/></r>"));
    EXPECT_EQ(doc.ResultLog(), u"");
    EXPECT_EQ(doc.Index().NextFree(), 3);
    EXPECT_EQ(Entry(doc, 0).flagsAndLevel, 0u);
    EXPECT_EQ(Entry(doc, 1).flagsAndLevel, FirstChild | 0u);
    EXPECT_EQ(doc.Current(), 0);
}

TEST(ParserTest, TextOfKnownLengthEndsAtItsFirstNul) {
    using namespace std::string_literals;
    CXmlDoc terminated;
    CXmlDoc counted;
    const std::u16string reply = u"80503736<XNR><IP>1</IP></XNR>\0<junk>"s;
    EXPECT_TRUE(terminated.LoadText(reply.c_str()));
    EXPECT_TRUE(counted.LoadText(std::u16string_view(reply)));
    EXPECT_EQ(counted.Text(), terminated.Text());
    EXPECT_EQ(counted.Text().size(), 29u);

    // Cut inside the root: the same fault as the NUL-terminated form reports.
    const std::u16string cut = u"80503736<XNR><IP>1\0</IP></XNR>"s;
    EXPECT_FALSE(counted.LoadText(std::u16string_view(cut)));
    EXPECT_FALSE(terminated.LoadText(cut.c_str()));
    EXPECT_EQ(counted.ResultLog(), terminated.ResultLog());
}

TEST(ParserTest, TextTakenOverLoadsAsACopyOfItDoes) {
    using namespace std::string_literals;
    for (const std::u16string& text :
         {u"<a><b>x</b></a>"s, u"<a><b>x</b></a>\0<junk>"s, u"<a><b>x\0</b></a>"s, u"<a>"s, u""s}) {
        CXmlDoc copied;
        CXmlDoc taken;
        EXPECT_EQ(taken.LoadText(std::u16string(text)), copied.LoadText(std::u16string_view(text)));
        EXPECT_EQ(taken.Text(), copied.Text());
        EXPECT_EQ(taken.ResultLog(), copied.ResultLog());
        EXPECT_EQ(taken.ElementText(2), copied.ElementText(2));
    }
}

TEST(ParserTest, TextOfKnownLengthIsReadNoFurtherThanItsEnd) {
    // A buffer of exactly the text, with no NUL after it: the address sanitizer reports
    // any read past it.
    for (std::size_t length = 0; length <= 40; ++length) {
        const std::u16string element = u"<r>" + std::u16string(length, u'x') + u"</r>";
        const auto buffer = std::make_unique<char16_t[]>(element.size());
        std::copy(element.begin(), element.end(), buffer.get());
        CXmlDoc doc;
        EXPECT_TRUE(doc.LoadText(std::u16string_view(buffer.get(), element.size())));
        EXPECT_EQ(doc.Text(), element);
    }
}

TEST(ParserTest, StartTagAtTheWidthLimitIsIndexedExactly) {
    std::u16string text = u"<r a=\"";
    text += std::u16string(static_cast<std::size_t>(kMaxStartTagLength) - text.size() - 2, u'v');
    text += u"\">x</r>";
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(text.c_str()));
    EXPECT_EQ(Entry(doc, 1).StartTagLength(), kMaxStartTagLength);
    EXPECT_EQ(doc.ElementText(1), u"x");
}

TEST(ParserTest, StartTagPastTheWidthLimitIsAFault) {
    std::u16string text = u"<XNR><r a=\"";
    text += std::u16string(static_cast<std::size_t>(kMaxStartTagLength) - 8, u'v');
    text += u"\"/><IP>1</IP></XNR>";
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(text.c_str()));
    EXPECT_EQ(doc.ResultLog(), u"<start_tag_too_long offset=\"5\"/>");
    EXPECT_EQ(doc.Index().NextFree(), 3); // XNR and IP only
    EXPECT_EQ(Entry(doc, 2).start, static_cast<std::int32_t>(text.size()) - 16);
    EXPECT_TRUE(Entry(doc, 1).Has(ErrorInside));
}

TEST(ParserTest, EndTagPastTheWidthLimitIsAFault) {
    const std::u16string fits = u"<a>x</a" + std::u16string(1019, u' ') + u">";
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText(fits.c_str()));
    EXPECT_EQ(Entry(doc, 1).EndTagLength(), 1023);

    const std::u16string tooLong = u"<a>x</a" + std::u16string(1020, u' ') + u">";
    EXPECT_FALSE(doc.LoadText(tooLong.c_str()));
    EXPECT_EQ(doc.ResultLog(), u"<end_tag_too_long offset=\"4\"/>"
                               u"<unended_start_tag tagname=\"a\" offset=\"0\" offset2=\"1028\"/>");
    EXPECT_EQ(Entry(doc, 1).EndTagLength(), 0);
}

TEST(ParserTest, NestingPastTheLevelLimitIsAFault) {
    constexpr std::size_t kDepth = kMaxLevel + 1; // levels 0 to 65535
    std::u16string text;
    for (std::size_t k = 0; k < kDepth; ++k) {
        text += u"<a>";
    }
    std::u16string closing;
    for (std::size_t k = 0; k < kDepth; ++k) {
        closing += u"</a>";
    }
    CXmlDoc doc;
    EXPECT_TRUE(doc.LoadText((text + closing).c_str()));
    EXPECT_EQ(Entry(doc, static_cast<std::int32_t>(kDepth)).Level(), kMaxLevel);

    EXPECT_FALSE(doc.LoadText((text + u"<b/>" + closing).c_str()));
    EXPECT_EQ(doc.ResultLog(), u"<nesting_too_deep offset=\"196608\"/>");
    EXPECT_EQ(doc.Index().NextFree(), static_cast<std::int32_t>(kDepth) + 1);
    for (std::int32_t i = 1; i <= static_cast<std::int32_t>(kDepth); ++i) {
        ASSERT_EQ(Entry(doc, i).Level(), static_cast<std::uint32_t>(i - 1));
        ASSERT_EQ(Entry(doc, i).flagsAndLevel & ~(FirstChild | ErrorInside | kMaxLevel), 0u);
    }
}

TEST(ParserTest, DeepUnendedNestingIsRepairedWithoutRecursion) {
    std::u16string text;
    for (int k = 0; k < 200000; ++k) {
        text += u"<a>";
    }
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(text.c_str()));
    ExpectConsistentLinks(doc);
    EXPECT_EQ(doc.Index().NextFree(), 65537);
}

TEST(ParserTest, TextTooLongForOffsetsIsRefused) {
    test::HugeText huge(CXmlDoc::kMaxTextLength + 1);
    if (!huge.Ready()) {
        GTEST_SKIP() << "could not map a text of 2^31 units";
    }
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(huge.Units()));
    EXPECT_EQ(doc.ResultLog(), u"<text_too_long/>");
    EXPECT_TRUE(doc.Text().empty());
    EXPECT_EQ(doc.Index().NextFree(), 1);
    EXPECT_FALSE(doc.FindElement(nullptr));
}

} // namespace
} // namespace ferrow
