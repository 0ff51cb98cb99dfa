#include "xml/CXmlDoc.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace ferrow {
namespace {

// The text of the first child named name of the root, or "(none)".
std::u16string ChildOfRoot(const std::u16string& text, TextArg name) {
    CXmlDoc doc;
    doc.LoadText(text.c_str());
    if (!doc.FindChildElement(name)) {
        return u"(none)";
    }
    return doc.ChildText();
}

TEST(NavigationTest, ReplyReaderGetsEveryFieldWhateverTheOrder) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"80503736<XNR><HttpPort>8080</HttpPort><MAC>00:11:22:33:44:55</MAC>"
                             u"<IP>192.168.1.64</IP><Model>NVR-8</Model>"
                             u"<Manufacture>Acme &amp; Co</Manufacture></XNR>"));
    ASSERT_TRUE(doc.FindElement(u"XNR"));
    const std::array<std::pair<TextArg, std::u16string>, 5> fields = {{
        {u"Manufacture", u"Acme & Co"},
        {u"Model", u"NVR-8"},
        {u"IP", u"192.168.1.64"},
        {u"MAC", u"00:11:22:33:44:55"},
        {u"HttpPort", u"8080"},
    }};
    for (const auto& [name, expected] : fields) {
        ASSERT_TRUE(doc.FindChildElement(name));
        EXPECT_EQ(doc.ChildText(), expected);
        doc.RewindChildren();
    }
}

TEST(NavigationTest, MissingChildLeavesOnlyItsOwnFieldEmpty) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<XNR><IP>10.0.0.2</IP><HttpPort>80</HttpPort></XNR>"));
    ASSERT_TRUE(doc.FindElement(u"XNR"));
    EXPECT_FALSE(doc.FindChildElement(u"Model"));
    EXPECT_EQ(doc.ChildText(), u"");
    doc.RewindChildren();
    ASSERT_TRUE(doc.FindChildElement(u"HttpPort"));
    EXPECT_EQ(doc.ChildText(), u"80");
}

TEST(NavigationTest, ChildSearchWithoutRewindGoesOnFromTheLastFound) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<XNR><Model>A</Model><Model>B</Model></XNR>"));
    ASSERT_TRUE(doc.FindChildElement(u"Model"));
    EXPECT_EQ(doc.ChildText(), u"A");
    ASSERT_TRUE(doc.FindChildElement(u"Model"));
    EXPECT_EQ(doc.ChildText(), u"B");
    const std::int32_t second = doc.Child();
    EXPECT_FALSE(doc.FindChildElement(u"Model"));
    EXPECT_EQ(doc.Child(), second);
    EXPECT_EQ(doc.ChildText(), u"B");
    doc.RewindChildren();
    ASSERT_TRUE(doc.FindChildElement(u"Model"));
    EXPECT_EQ(doc.ChildText(), u"A");
}

TEST(NavigationTest, NamesMatchWholeAndCaseSensitive) {
    const std::u16string text = u"<XNR><IPX>1</IPX><httpport>2</httpport><IP a='1'>3</IP></XNR>";
    EXPECT_EQ(ChildOfRoot(text, u"IP"), u"3");
    EXPECT_EQ(ChildOfRoot(text, u"HttpPort"), u"(none)");
    EXPECT_EQ(ChildOfRoot(text, u"IPX"), u"1");
}

TEST(NavigationTest, NullOrEmptyNameTakesTheNextElement) {
    CXmlDoc doc;
    ASSERT_TRUE(doc.LoadText(u"<r><a>1</a><b>2</b></r>"));
    ASSERT_TRUE(doc.FindChildElement(nullptr));
    EXPECT_EQ(doc.ChildText(), u"1");
    ASSERT_TRUE(doc.FindChildElement(u""));
    EXPECT_EQ(doc.ChildText(), u"2");
    EXPECT_FALSE(doc.FindChildElement(nullptr));
}

TEST(NavigationTest, FindElementLooksAtTheCurrentLevelOnly) {
    CXmlDoc doc;
    doc.LoadText(u"<XNR><IP>1</IP></XNR>");
    EXPECT_FALSE(doc.FindElement(u"IP"));
    EXPECT_EQ(doc.Current(), 0);
    ASSERT_TRUE(doc.FindElement(u"XNR"));
    EXPECT_EQ(doc.Current(), 1);
    EXPECT_EQ(doc.Parent(), 0);
    EXPECT_FALSE(doc.FindElement(u"XNR")); // only later siblings are looked at
    EXPECT_EQ(doc.Current(), 1);

    ASSERT_TRUE(doc.LoadText(u"<Reply><IP>1</IP></Reply>"));
    EXPECT_FALSE(doc.FindElement(u"XNR"));
}

TEST(NavigationTest, FirstChildSearchMakesTheRootCurrent) {
    CXmlDoc doc;
    doc.LoadText(u"<XNR><IP>1</IP></XNR>");
    ASSERT_TRUE(doc.FindChildElement(u"IP"));
    EXPECT_EQ(doc.Parent(), 0);
    EXPECT_EQ(doc.Current(), 1);
    EXPECT_EQ(doc.Child(), 2);
}

TEST(NavigationTest, PositionIsResetByEveryLoad) {
    CXmlDoc doc;
    doc.LoadText(u"<XNR><IP>1</IP></XNR>");
    ASSERT_TRUE(doc.FindChildElement(u"IP"));
    doc.LoadText(u"<XNR><MAC>m</MAC></XNR>");
    EXPECT_EQ(doc.Current(), 0);
    EXPECT_EQ(doc.Child(), 0);
    EXPECT_EQ(doc.ChildText(), u"");
}

TEST(NavigationTest, SearchesOnAnEmptyDocumentFindNothing) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.FindElement(nullptr));
    EXPECT_FALSE(doc.FindChildElement(nullptr));
    EXPECT_EQ(doc.ChildText(), u"");
}

TEST(NavigationTest, TextIsKeptAsItStands) {
    EXPECT_EQ(ChildOfRoot(u"<r><Model>  X1 </Model></r>", u"Model"), u"  X1 ");
    EXPECT_EQ(ChildOfRoot(u"<r><Model>A &amp; B</Model></r>", u"Model"), u"A & B");
    EXPECT_EQ(ChildOfRoot(u"<r><Model>\r\nX</Model></r>", u"Model"), u"\r\nX");
}

TEST(NavigationTest, ElementsWithoutTextOfTheirOwnGiveEmptyText) {
    EXPECT_EQ(ChildOfRoot(u"<r><Model/></r>", u"Model"), u"");
    EXPECT_EQ(ChildOfRoot(u"<r><Model></Model></r>", u"Model"), u"");
    EXPECT_EQ(ChildOfRoot(u"<r><Model><v>1</v></Model></r>", u"Model"), u"");
    EXPECT_EQ(ChildOfRoot(u"<r><Model>x<v/>y</Model></r>", u"Model"), u"");
}

TEST(NavigationTest, OtherMarkupInTextIsLeftOutOrTakenVerbatim) {
    EXPECT_EQ(ChildOfRoot(u"<r><Model>a> <!-- note --></Model></r>", u"Model"), u"a>");
    EXPECT_EQ(ChildOfRoot(u"<r><Model>a<!-- note -->b</Model></r>", u"Model"), u"ab");
    EXPECT_EQ(ChildOfRoot(u"<r><Model><![CDATA[x<y&amp;]]></Model></r>", u"Model"), u"x<y&amp;");
    EXPECT_EQ(ChildOfRoot(u"<r><Model> <![CDATA[x]]> </Model></r>", u"Model"), u"x");
    EXPECT_EQ(ChildOfRoot(u"<r><Model>a<?pi?>&lt;b</Model></r>", u"Model"), u"a<b");
    EXPECT_EQ(ChildOfRoot(u"<r><Model><![C]]>z</Model></r>", u"Model"), u"z");
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

} // namespace
} // namespace ferrow
