#include "xml/ResultLog.h"

#include "xml/CXmlDoc.h"

#include <gtest/gtest.h>
#include <string>

namespace ferrow {
namespace {

TEST(ResultLogTest, RecordsCarryOnlyTheAttributesThatArePresent) {
    std::u16string log;
    AddResult(log, u"root_has_sibling", std::nullopt, -1, -1);
    AddResult(log, u"first_tag_syntax", std::nullopt, 4, -1);
    AddResult(log, u"unterminated_tag_syntax", ResultText{ResultTextAttribute::Type, u"start_tag"},
              29, -1);
    AddResult(log, u"unended_start_tag", ResultText{ResultTextAttribute::TagName, u"XNR"}, 8, 32);
    AddResult(log, u"x", ResultText{ResultTextAttribute::TagName, u""}, -1, 0);
    AddResult(log, u"y", std::nullopt, -2, 2147483647);
    EXPECT_EQ(log, u"<root_has_sibling/>"
                   u"<first_tag_syntax offset=\"4\"/>"
                   u"<unterminated_tag_syntax type=\"start_tag\" offset=\"29\"/>"
                   u"<unended_start_tag tagname=\"XNR\" offset=\"8\" offset2=\"32\"/>"
                   u"<x tagname=\"\" offset2=\"0\"/>"
                   u"<y offset=\"-2\" offset2=\"2147483647\"/>");
}

TEST(ResultLogTest, TextValuesAreEscapedForAnAttribute) {
    std::u16string log;
    AddResult(log, u"lone_end_tag", ResultText{ResultTextAttribute::TagName, u"a&b<\"'>"}, 3, -1);
    EXPECT_EQ(log, u"<lone_end_tag tagname=\"a&amp;b&lt;&quot;&apos;&gt;\" offset=\"3\"/>");
}

TEST(ResultLogTest, RecordsStopOnceTheLogReachesItsCap) {
    std::u16string log(999, u'x');
    AddResult(log, u"first_tag_syntax", std::nullopt, 1, -1);
    EXPECT_EQ(log.size(), 999u + 30u); // the record that crosses the mark is kept whole
    const std::u16string full = log;
    AddResult(log, u"first_tag_syntax", std::nullopt, 2, -1);
    EXPECT_EQ(log, full);

    std::u16string atCap(kResultLogCap, u'x');
    AddResult(atCap, u"root_has_sibling", std::nullopt, -1, -1);
    EXPECT_EQ(atCap.size(), kResultLogCap);
}

TEST(ResultLogTest, TruncatedReplyLeavesItsRecordsInOrder) {
    CXmlDoc doc;
    doc.LoadText(u"80503736<XNR><Model>A</Model><Ma");
    EXPECT_EQ(doc.ResultLog(), u"<unterminated_tag_syntax type=\"start_tag\" offset=\"29\"/>"
                               u"<unended_start_tag tagname=\"XNR\" offset=\"8\" offset2=\"32\"/>"
                               u"<root_has_sibling/>");
}

TEST(ResultLogTest, WellFormedDocumentLeavesTheLogEmpty) {
    CXmlDoc doc;
    doc.LoadText(u"<a>&</a>");
    EXPECT_TRUE(doc.LoadText(u"80503736<XNR><IP>1</IP></XNR>"));
    EXPECT_EQ(doc.ResultLog(), u"");
}

TEST(ResultLogTest, LoneEndTagNameIsEscaped) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<a></a&b></a>"));
    EXPECT_EQ(doc.ResultLog(), u"<lone_end_tag tagname=\"a&amp;b\" offset=\"3\"/>");
}

TEST(ResultLogTest, UnendedElementWithAttributesIsNamedByItsNameOnly) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<r><a x='1'></r>"));
    EXPECT_EQ(doc.ResultLog(), u"<unended_start_tag tagname=\"a\" offset=\"3\" offset2=\"13\"/>");
}

TEST(ResultLogTest, EveryFaultOfADocumentIsLoggedOnceInOrder) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"<r><!x><!-x><![x></q><!DOCTYPE r [<!Z <s></r"));
    EXPECT_EQ(doc.ResultLog(), u"<exclamation_tag_syntax offset=\"3\"/>"
                               u"<comment_tag_syntax offset=\"7\"/>"
                               u"<cdata_section_syntax offset=\"12\"/>"
                               u"<lone_end_tag tagname=\"q\" offset=\"17\"/>"
                               u"<doctype_tag_syntax offset=\"21\"/>"
                               u"<unterminated_tag_syntax type=\"end_tag\" offset=\"41\"/>"
                               u"<unended_start_tag tagname=\"s\" offset=\"38\" offset2=\"44\"/>"
                               u"<unended_start_tag tagname=\"r\" offset=\"0\" offset2=\"44\"/>"
                               u"<root_has_sibling/>");
}

TEST(ResultLogTest, ManyFaultsAreCutAtTheCap) {
    std::u16string text = u"<r>";
    for (int k = 0; k < 100; ++k) {
        text += u"<1>";
    }
    text += u"</r>";
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(text.c_str()));
    const std::u16string& log = doc.ResultLog();
    EXPECT_GE(log.size(), kResultLogCap);
    EXPECT_LT(log.size(), kResultLogCap + 40);
    // Records are whole: the log ends a record.
    EXPECT_EQ(log.substr(log.size() - 2), u"/>");
    EXPECT_EQ(log.find(u"<first_tag_syntax offset=\"3\"/><first_tag_syntax offset=\"6\"/>"), 0u);
}

TEST(ResultLogTest, NoMarkupLeavesNoRootRecord) {
    CXmlDoc doc;
    EXPECT_FALSE(doc.LoadText(u"80503736"));
    EXPECT_EQ(doc.ResultLog(), u"<no_root_element/>");
}

} // namespace
} // namespace ferrow
