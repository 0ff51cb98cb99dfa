#include "discovery/ReplyReader.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

std::u16string Reply(const std::u16string& xml) {
    return u"80503736" + xml;
}

const std::u16string kAllFive = u"<Manufacture>Acme</Manufacture><Model>NVR-8</Model>"
                                u"<IP>192.168.1.64</IP><MAC>00:1A:2B:3C:4D:5E</MAC>"
                                u"<HttpPort>8080</HttpPort>";
const DeviceRecord kAllFiveRecord{u"Acme", u"NVR-8", u"192.168.1.64", u"00:1A:2B:3C:4D:5E",
                                  u"8080"};

TEST(ReplyReaderTest, ReadsTheFiveChildrenOfXnr) {
    EXPECT_EQ(ReadDeviceReply(Reply(u"<XNR>" + kAllFive + u"</XNR>")), kAllFiveRecord);
}

TEST(ReplyReaderTest, OrderOfTheChildrenDoesNotMatter) {
    const std::u16string reversed = u"<XNR><HttpPort>8080</HttpPort><MAC>00:1A:2B:3C:4D:5E</MAC>"
                                    u"<IP>192.168.1.64</IP><Model>NVR-8</Model>"
                                    u"<Manufacture>Acme</Manufacture></XNR>";
    EXPECT_EQ(ReadDeviceReply(Reply(reversed)), kAllFiveRecord);
}

TEST(ReplyReaderTest, MissingChildrenLeaveOnlyTheirFieldsEmpty) {
    EXPECT_EQ(ReadDeviceReply(Reply(u"<XNR><IP>10.0.0.7</IP></XNR>")),
              (DeviceRecord{u"", u"", u"10.0.0.7", u"", u""}));
    EXPECT_EQ(ReadDeviceReply(Reply(u"<XNR><Model>X</Model><HttpPort>81</HttpPort></XNR>")),
              (DeviceRecord{u"", u"X", u"", u"", u"81"}));
    EXPECT_EQ(ReadDeviceReply(Reply(u"<XNR></XNR>")), DeviceRecord{});
    EXPECT_EQ(ReadDeviceReply(Reply(u"<XNR/>")), DeviceRecord{});
}

TEST(ReplyReaderTest, FirstOfTwoChildrenWithOneNameWins) {
    const auto record = ReadDeviceReply(
        Reply(u"<XNR><Model>first</Model><IP>1.2.3.4</IP><Model>second</Model></XNR>"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Model, u"first");
    EXPECT_EQ(record->IP, u"1.2.3.4");
}

TEST(ReplyReaderTest, NamesAreMatchedWholeAndCaseSensitively) {
    const auto record = ReadDeviceReply(Reply(
        u"<XNR><model>lower</model><MODEL>upper</MODEL><ModelName>x</ModelName><Ip>1</Ip></XNR>"));
    ASSERT_TRUE(record);
    EXPECT_EQ(*record, DeviceRecord{});
}

TEST(ReplyReaderTest, OnlyDirectChildrenOfXnrCount) {
    const auto record =
        ReadDeviceReply(Reply(u"<XNR><Info><Model>deep</Model></Info><IP>1.1.1.1</IP></XNR>"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Model, u"");
    EXPECT_EQ(record->IP, u"1.1.1.1");
}

TEST(ReplyReaderTest, ReferencesAreResolvedAndNothingElseChanges) {
    const auto record = ReadDeviceReply(
        Reply(u"<XNR><Manufacture>Smith &amp; Sons &lt;AB&gt;</Manufacture>"
              u"<Model>&#78;&#x56;R</Model><IP> 10.0.0.1 </IP><HttpPort>80abc</HttpPort></XNR>"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Manufacture, u"Smith & Sons <AB>");
    EXPECT_EQ(record->Model, u"NVR");
    EXPECT_EQ(record->IP, u" 10.0.0.1 ");
    EXPECT_EQ(record->HttpPort, u"80abc");
}

TEST(ReplyReaderTest, DeclarationCommentsAndAttributesAreIgnored) {
    const std::u16string xml = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<!-- recorder -->"
                               u"\r\n<XNR version=\"2\">\r\n" +
                               kAllFive + u"\r\n</XNR>\r\n";
    EXPECT_EQ(ReadDeviceReply(Reply(xml)), kAllFiveRecord);
}

TEST(ReplyReaderTest, NonAsciiTextComesThroughUnchanged) {
    const auto record =
        ReadDeviceReply(Reply(u"<XNR><Manufacture>Müller \u6771\u829d</Manufacture></XNR>"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->Manufacture, u"Müller \u6771\u829d");
}

TEST(ReplyReaderTest, AnotherRootGivesNothingEvenWithXnrInside) {
    EXPECT_FALSE(ReadDeviceReply(Reply(u"<NVR>" + kAllFive + u"</NVR>")));
    EXPECT_FALSE(ReadDeviceReply(Reply(u"<Root><XNR>" + kAllFive + u"</XNR></Root>")));
    EXPECT_FALSE(ReadDeviceReply(Reply(u"<xnr>" + kAllFive + u"</xnr>")));
}

TEST(ReplyReaderTest, TextThatIsNotWellFormedGivesNothing) {
    const std::u16string whole = Reply(u"<XNR>" + kAllFive + u"</XNR>");
    EXPECT_FALSE(ReadDeviceReply(whole.substr(0, whole.size() - 3)));
    EXPECT_FALSE(ReadDeviceReply(whole.substr(0, whole.size() / 2)));
    EXPECT_FALSE(ReadDeviceReply(Reply(u"<XNR><IP>1</IP></XNR><XNR></XNR>")));
    EXPECT_FALSE(ReadDeviceReply(Reply(u"<XNR><IP>1</XNR>")));
}

TEST(ReplyReaderTest, SignatureAloneOrNothingGivesNothing) {
    EXPECT_FALSE(ReadDeviceReply(u"80503736"));
    EXPECT_FALSE(ReadDeviceReply(u""));
}

TEST(ReplyReaderTest, TextEndsAtTheFirstNul) {
    std::u16string cutInside = Reply(u"<XNR><IP>1.2.3.4</IP>");
    cutInside += u'\0';
    cutInside += u"<MAC>x</MAC></XNR>";
    EXPECT_FALSE(ReadDeviceReply(cutInside));

    std::u16string cutAfter = Reply(u"<XNR><IP>1.2.3.4</IP></XNR>");
    cutAfter += u'\0';
    cutAfter += u"<garbage";
    EXPECT_EQ(ReadDeviceReply(cutAfter), (DeviceRecord{u"", u"", u"1.2.3.4", u"", u""}));
}

} // namespace
} // namespace ferrow
