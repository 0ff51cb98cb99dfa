#include "xml/CXmlDoc.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <string>

namespace ferrow {
namespace {

// The text of the first child named name of the first element, or "(none)".
std::u16string ChildOfRoot(const std::u16string& text, TextArg name) {
    CXmlDoc doc;
    doc.LoadText(text.c_str());
    if (!doc.FindChildElement(name)) {
        return u"(none)";
    }
    return doc.ChildText();
}

struct Position {
    std::int32_t parent;
    std::int32_t current;
    std::int32_t child;

    friend bool operator==(const Position&, const Position&) = default;
};

Position PositionOf(const CXmlDoc& doc) {
    return {doc.Parent(), doc.Current(), doc.Child()};
}

TEST(NavigationTest, ChildNamesMatchWholeCaseSensitiveAndAmongDirectChildrenOnly) {
    const std::u16string text = u"<r><IPX>1</IPX><ip>2</ip><b><IP>deep</IP></b>"
                                u"<IP a='x'>3</IP><IP/><Mod\u00e8le>4</Mod\u00e8le></r>";
    EXPECT_EQ(ChildOfRoot(text, u"IP"), u"3");
    EXPECT_EQ(ChildOfRoot(text, u"ip"), u"2");
    EXPECT_EQ(ChildOfRoot(text, u"IPX"), u"1");
    EXPECT_EQ(ChildOfRoot(text, u"I"), u"(none)");
    EXPECT_EQ(ChildOfRoot(text, u"IPXY"), u"(none)");
    EXPECT_EQ(ChildOfRoot(text, u"Mod\u00e8le"), u"4");
    EXPECT_EQ(ChildOfRoot(text, u"r"), u"(none)");
}

TEST(NavigationTest, ChildSearchGoesOnFromTheLastFoundUntilRewound) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<r><m>A</m><x>X</x><m>B</m><y>Y</y></r>"));
    ASSERT_TRUE(doc.FindChildElement(u"m"));
    EXPECT_EQ(doc.ChildText(), u"A");
    ASSERT_TRUE(doc.FindChildElement(u"m"));
    EXPECT_EQ(doc.ChildText(), u"B");
    EXPECT_FALSE(doc.FindChildElement(u"x")) << "x lies before the child position";
    ASSERT_TRUE(doc.FindChildElement(u"y"));
    EXPECT_EQ(doc.ChildText(), u"Y");
    doc.RewindChildren();
    EXPECT_EQ(doc.Child(), 0);
    EXPECT_EQ(doc.ChildText(), u"");
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.ChildText(), u"X");
    doc.RewindChildren();
    ASSERT_TRUE(doc.FindChildElement(u"m"));
    EXPECT_EQ(doc.ChildText(), u"A");
}

TEST(NavigationTest, FailedSearchesLeaveThePositionAsItWas) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<r><a>1</a><b>2</b></r>"));
    ASSERT_TRUE(doc.FindChildElement(u"b"));
    const Position found = PositionOf(doc);
    EXPECT_FALSE(doc.FindChildElement(u"a"));
    EXPECT_FALSE(doc.FindChildElement(u"missing"));
    EXPECT_FALSE(doc.FindChildElement(nullptr)) << "b is the last child";
    EXPECT_FALSE(doc.FindElement(u"missing"));
    EXPECT_FALSE(doc.FindElement(u"r"));
    EXPECT_EQ(PositionOf(doc), found);
    EXPECT_EQ(doc.ChildText(), u"2");
}

TEST(NavigationTest, NullOrEmptyNameTakesTheNextElementPastOtherContent) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<r>t<!-- c --><a>1</a> <?p?><b>2</b><![CDATA[<c>]]></r>"));
    ASSERT_TRUE(doc.FindChildElement(nullptr));
    EXPECT_EQ(doc.ChildText(), u"1");
    ASSERT_TRUE(doc.FindChildElement(u""));
    EXPECT_EQ(doc.ChildText(), u"2");
    EXPECT_FALSE(doc.FindChildElement(nullptr));
}

// Beside the root stand further elements only in a document that is not well-formed,
// but they are still reached, each with children of its own.
TEST(NavigationTest, FindElementMovesToLaterSiblingsAtTheCurrentLevel) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a><x>1</x></a><b><x>2</x></b><a><x>3</x></a>"));
    EXPECT_FALSE(doc.FindElement(u"x")) << "children are not at this level";
    ASSERT_TRUE(doc.FindElement(u"b"));
    EXPECT_EQ(doc.Parent(), 0);
    EXPECT_EQ(doc.Child(), 0);
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.ChildText(), u"2");
    const std::int32_t b = doc.Current();

    ASSERT_TRUE(doc.FindElement(u"a"));
    EXPECT_GT(doc.Current(), b) << "the a after b, not the first";
    EXPECT_EQ(doc.Child(), 0) << "a new element starts with no child position";
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.ChildText(), u"3");
    EXPECT_FALSE(doc.FindElement(u"b")) << "only later siblings are looked at";
    EXPECT_FALSE(doc.FindElement(nullptr));
}

TEST(NavigationTest, FirstChildSearchMakesTheFirstElementCurrent) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a><x>1</x></a><b><x>2</x></b>"));
    ASSERT_TRUE(doc.FindChildElement(u"x"));
    EXPECT_EQ(doc.ChildText(), u"1");
    EXPECT_EQ(doc.Parent(), 0);
    EXPECT_EQ(doc.Current(), 1);
    EXPECT_EQ(doc.Child(), 2);
}

TEST(NavigationTest, PositionIsResetByEveryLoad) {
    CXmlDoc doc;
    doc.LoadText(u"<r><a>1</a></r>");
    ASSERT_TRUE(doc.FindChildElement(u"a"));
    doc.LoadText(u"<r><b>m</b></r>");
    EXPECT_EQ(PositionOf(doc), (Position{0, 0, 0}));
    EXPECT_EQ(doc.ChildText(), u"");
    ASSERT_TRUE(doc.FindElement(u"r")) << "the search starts at the top again";
}

TEST(NavigationTest, SearchesWithoutElementsFindNothing) {
    for (const TextArg text : {static_cast<TextArg>(nullptr), u"", u"only text <!-- c -->"}) {
        CXmlDoc doc;
        doc.LoadText(text);
        EXPECT_FALSE(doc.FindElement(nullptr));
        EXPECT_FALSE(doc.FindChildElement(nullptr));
        EXPECT_EQ(PositionOf(doc), (Position{0, 0, 0}));
        EXPECT_EQ(doc.ChildText(), u"");
    }
}

TEST(NavigationTest, TextIsKeptAsItStandsWithoutTheAttributes) {
    EXPECT_EQ(ChildOfRoot(u"<r><m>  X1 </m></r>", u"m"), u"  X1 ");
    EXPECT_EQ(ChildOfRoot(u"<r><m>A &amp; B</m></r>", u"m"), u"A & B");
    EXPECT_EQ(ChildOfRoot(u"<r><m>\r\nX</m></r>", u"m"), u"\r\nX");
    EXPECT_EQ(ChildOfRoot(u"<r><m a=\"v>w\" b='&lt;'>x</m></r>", u"m"), u"x");
}

TEST(NavigationTest, ElementsWithoutTextOfTheirOwnGiveEmptyText) {
    EXPECT_EQ(ChildOfRoot(u"<r><m/></r>", u"m"), u"");
    EXPECT_EQ(ChildOfRoot(u"<r><m></m></r>", u"m"), u"");
    EXPECT_EQ(ChildOfRoot(u"<r><m><v>1</v></m></r>", u"m"), u"");
    EXPECT_EQ(ChildOfRoot(u"<r><m>x<v/>y</m></r>", u"m"), u"");
}

TEST(NavigationTest, OtherMarkupInTextIsLeftOutOrTakenVerbatim) {
    EXPECT_EQ(ChildOfRoot(u"<r><m>a> <!-- note --></m></r>", u"m"), u"a>");
    EXPECT_EQ(ChildOfRoot(u"<r><m>a<!-- note -->b</m></r>", u"m"), u"ab");
    EXPECT_EQ(ChildOfRoot(u"<r><m><![CDATA[x<y&amp;]]></m></r>", u"m"), u"x<y&amp;");
    EXPECT_EQ(ChildOfRoot(u"<r><m> <![CDATA[x]]> </m></r>", u"m"), u"x");
    EXPECT_EQ(ChildOfRoot(u"<r><m>a<?pi?>&lt;b</m></r>", u"m"), u"a<b");
    EXPECT_EQ(ChildOfRoot(u"<r><m><![C]]>z</m></r>", u"m"), u"z");
}

TEST(NavigationTest, TextOfAnIllFormedDocumentStaysInsideItsElement) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<r><a>x</b>y</a><c>z<1></c></r>"));
    ASSERT_TRUE(doc.FindChildElement(u"a"));
    EXPECT_EQ(doc.ChildText(), u"xy");
    ASSERT_TRUE(doc.FindChildElement(u"c"));
    EXPECT_EQ(doc.ChildText(), u"z");
}

TEST(NavigationTest, RepairedElementsHaveNoText) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<r><a>x</r>"));
    ASSERT_TRUE(doc.FindChildElement(u"a"));
    EXPECT_EQ(doc.ChildText(), u"");
}

TEST(NavigationTest, LocalNameLookupIgnoresPrefixesAndGoesOnAfterAGivenChild) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<s:Envelope xmlns:s='u'><s:Header/><Body a='1'><d:M>1</d:M>"
                             u"<x:y:M>2</x:y:M><Ma>3</Ma><M/></Body></s:Envelope>"));
    const std::int32_t envelope = doc.FindChildByLocalName(0, u"Envelope");
    ASSERT_NE(envelope, 0);
    EXPECT_EQ(doc.FindChildByLocalName(envelope, u"Header"),
              doc.Index().EntryAt(envelope).firstChild);
    const std::int32_t body = doc.FindChildByLocalName(envelope, u"Body");
    ASSERT_NE(body, 0);
    EXPECT_EQ(doc.FindChildByLocalName(envelope, u"M"), 0); // children only, not deeper
    const std::int32_t first = doc.FindChildByLocalName(body, u"M");
    const std::int32_t second = doc.FindChildByLocalName(body, u"M", first);
    const std::int32_t third = doc.FindChildByLocalName(body, u"M", second);
    EXPECT_EQ(doc.ElementText(first), u"1");
    EXPECT_EQ(doc.ElementText(second), u"2");
    EXPECT_NE(third, 0);
    EXPECT_EQ(doc.ElementText(third), u"");
    EXPECT_EQ(doc.FindChildByLocalName(body, u"M", third), 0);
    EXPECT_EQ(doc.FindChildByLocalName(body, u"m"), 0); // case-sensitive
}

} // namespace
} // namespace ferrow
