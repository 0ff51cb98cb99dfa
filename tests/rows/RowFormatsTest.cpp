#include "rows/RowFormats.h"

#include "tests/rows/OutputReaders.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace ferrow {
namespace {

using test::LibcColumns;
using test::ParseCsv;
using test::SplitLines;

DeviceRow Row(std::u16string maker, std::u16string model, std::u16string ip, std::u16string mac,
              std::u16string port, std::u16string local, const char* netmask = "0.0.0.0") {
    return RowOfReply(
        {std::move(maker), std::move(model), std::move(ip), std::move(mac), std::move(port)},
        std::move(local), Ipv4Address::FromText(netmask));
}

// A device of the IP heard from the local address with the netmask.
DeviceRow Heard(std::u16string ip, std::u16string local, const char* netmask) {
    return Row(u"A", u"M", std::move(ip), u"", u"80", std::move(local), netmask);
}

class TableAlignment : public ::testing::Test {
protected:
    void SetUp() override {
        if (!m_characterTypes.Available()) {
            GTEST_SKIP() << "the C library cannot measure terminal columns here (no C.UTF-8 "
                            "locale, or no wcswidth at all as on Windows)";
        }
    }

private:
    test::Utf8CharacterTypes m_characterTypes;
};

TEST_F(TableAlignment, ColumnsStayAlignedWithNonAsciiAndWideText) {
    const std::vector<DeviceRow> rows{
        Row(u"Hikvision", u"DS-7608NI", u"10.77.0.11", u"00:11:22:33:44:55", u"80", u"10.77.0.1"),
        Row(u"M\u00FCller Sicherheit", u"\u00C9cran", u"10.77.0.12", u"", u"8080", u"10.77.0.1"),
        Row(u"\u6771\u4EAC\u30AB\u30E1\u30E9", u"\u9332\u753B\u6A5F-16", u"10.77.0.13",
            u"AA:BB:CC:DD:EE:FF", u"81", u"10.77.1.1"),
        Row(u"Mu\u0308ller", u"x", u"10.77.0.14", u"-", u"1", u"10.77.1.1"),
    };
    std::ostringstream out;
    WriteTable(out, rows);
    const std::vector<std::string> lines = SplitLines(out.str());
    ASSERT_EQ(lines.size(), rows.size() + 2); // header, rule, rows

    // The IP column and every later column start at the same display column on every
    // line; they are found by their known texts ("" marks an empty cell).
    const std::vector<std::vector<std::string>> anchors{
        {"IP Address", "MAC Address", "Http Port", "Local Address", "Protocol"},
        {},
        {"10.77.0.11", "00:11:22:33:44:55", "80", "10.77.0.1", "UDP 2900"},
        {"10.77.0.12", "", "8080", "10.77.0.1", "UDP 2900"},
        {"10.77.0.13", "AA:BB:CC:DD:EE:FF", "81", "10.77.1.1", "UDP 2900"},
        {"10.77.0.14", "-", "1", "10.77.1.1", "UDP 2900"},
    };
    std::vector<int> headerColumns;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::size_t searchFrom = 0;
        for (std::size_t cell = 0; cell < anchors[i].size(); ++cell) {
            const std::string& anchor = anchors[i][cell];
            if (anchor.empty()) {
                continue;
            }
            const std::size_t at = lines[i].find(anchor, searchFrom);
            ASSERT_NE(at, std::string::npos) << anchor << " in " << lines[i];
            const int column = LibcColumns(lines[i].substr(0, at));
            if (i == 0) {
                headerColumns.push_back(column);
            } else {
                EXPECT_EQ(column, headerColumns[cell]) << anchor << " in " << lines[i];
            }
            searchFrom = at + anchor.size();
        }
    }
    // The rule under each header is as wide as its widest cell: "Müller Sicherheit" (17)
    // for the makers, "DS-7608NI" and the CJK model (9 each) for the models.
    EXPECT_EQ(lines[1].substr(0, 28), std::string(17, '-') + "  " + std::string(9, '-'));
    for (const std::string& line : lines) {
        EXPECT_NE(line.back(), ' ') << line;
    }
}

TEST(TableFormat, ControlCharactersCannotReachTheTerminal) {
    const std::vector<DeviceRow> rows{
        Row(u"Evil\x1B[2J\nCorp", u"M\rX", u"10.0.0.1", u"", u"80\x07", u"10.0.0.2")};
    std::ostringstream out;
    WriteTable(out, rows);
    const std::string text = out.str();
    for (char c : text) {
        EXPECT_TRUE(c == '\n' || static_cast<unsigned char>(c) >= 0x20) << int(c);
    }
    EXPECT_EQ(SplitLines(text).size(), 3u); // the newline inside a field starts no row
    EXPECT_NE(text.find("Evil\xEF\xBF\xBD[2J\xEF\xBF\xBD"
                        "Corp"),
              std::string::npos);
}

TEST(TableFormat, FormatCharactersAreShownOnlyInTheTable) {
    const std::vector<DeviceRow> rows{
        Row(u"Acme\u202Etxt.exe", u"M", u"10.0.0.1", u"", u"80", u"10.0.0.2")};
    std::ostringstream table;
    WriteTable(table, rows);
    EXPECT_NE(table.str().find("Acme\xEF\xBF\xBDtxt.exe"), std::string::npos);
    std::ostringstream csv;
    WriteCsv(csv, rows);
    EXPECT_EQ(ParseCsv(csv.str()).at(1).at(0), "Acme\xE2\x80\xAEtxt.exe");
}

TEST(TableFormat, MarksTheDevicesOutsideTheLocalNetworkAndExplainsTheMarkOnce) {
    const std::vector<DeviceRow> rows{Heard(u"10.9.0.7", u"10.1.2.3", "255.0.0.0"),
                                      Heard(u"192.168.0.20", u"10.1.2.3", "255.0.0.0"),
                                      Heard(u"nvr.local", u"10.1.2.3", "255.0.0.0")};
    std::ostringstream out;
    WriteTable(out, rows);
    const std::vector<std::string> lines = SplitLines(out.str());
    ASSERT_EQ(lines.size(), 7u) << out.str(); // header, rule, rows, blank, footnote
    EXPECT_EQ(lines[3].find('*'), lines[3].find("192.168.0.20 *") + 13);
    EXPECT_EQ(lines[2].find('*'), std::string::npos);
    EXPECT_EQ(lines[4].find('*'), std::string::npos) << "no address: no network to place";
    for (std::size_t line = 2; line < 5; ++line) {
        EXPECT_EQ(lines[line].find("10.1.2.3"), lines[0].find("Local Address")) << lines[line];
    }
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6].rfind("* In another network than the local address", 0), 0u) << lines[6];
}

TEST(TableFormat, SaysSoWhenNothingAnswered) {
    std::ostringstream out;
    WriteTable(out, {});
    EXPECT_EQ(out.str(), "No devices found.\n");
}

TEST(CsvFormat, RoundTripsEveryAwkwardField) {
    const std::vector<DeviceRow> rows{
        Row(u"Acme, Inc.", u"say \"hi\"", u"10.0.0.1", u"line1\r\nline2", u"80", u"10.0.0.9"),
        Row(u"M\u00FCller", u"\u6771\u4EAC", u"", u"lf\nonly", u" 81 ", u"10.0.0.9"),
    };
    std::ostringstream out;
    WriteCsv(out, rows);
    const auto records = ParseCsv(out.str());
    const std::vector<std::vector<std::string>> expected{
        {"Manufacture", "Model", "IP", "MAC", "HttpPort", "LocalAddress", "Protocol", "SameSubnet"},
        {"Acme, Inc.", "say \"hi\"", "10.0.0.1", "line1\r\nline2", "80", "10.0.0.9", "UDP 2900",
         "true"},
        {"M\xC3\xBCller", "\xE6\x9D\xB1\xE4\xBA\xAC", "", "lf\nonly", " 81 ", "10.0.0.9",
         "UDP 2900", "false"},
    };
    EXPECT_EQ(records, expected);
}

TEST(CsvFormat, QuotesOnlyWhereNeeded) {
    std::ostringstream out;
    WriteCsv(out, {Row(u"A", u"B,C", u"1.2.3.4", u"", u"80", u"5.6.7.8")});
    EXPECT_EQ(out.str(), "Manufacture,Model,IP,MAC,HttpPort,LocalAddress,Protocol,SameSubnet\r\n"
                         "A,\"B,C\",1.2.3.4,,80,5.6.7.8,UDP 2900,true\r\n");
}

// The last cell names the protocols that answered for the row, both in a fixed order.
TEST(CsvFormat, TheProtocolCellNamesEveryProtocolOfTheRow) {
    DeviceRow merged =
        RowOfOnvifDevice({{u"A", u"C", u"10.0.0.7", u"", u"443"}, u"https"}, u"10.0.0.1", {});
    merged.protocols = merged.protocols.With(DeviceProtocol::Udp2900);
    std::ostringstream out;
    WriteCsv(out,
             {Row(u"A", u"N", u"10.0.0.6", u"", u"80", u"10.0.0.1"),
              RowOfOnvifDevice({{u"A", u"C", u"10.0.0.8", u"", u"80"}, u"http"}, u"10.0.0.1", {}),
              merged});
    EXPECT_EQ(out.str(), "Manufacture,Model,IP,MAC,HttpPort,LocalAddress,Protocol,SameSubnet\r\n"
                         "A,N,10.0.0.6,,80,10.0.0.1,UDP 2900,true\r\n"
                         "A,C,10.0.0.8,,80,10.0.0.1,ONVIF,true\r\n"
                         "A,C,10.0.0.7,,443,10.0.0.1,\"UDP 2900, ONVIF\",true\r\n");
}

// The last field: whether the IP lies in the local address's network, by its netmask.
TEST(CsvFormat, SameSubnetFollowsTheNetmaskOfTheLocalAddress) {
    const std::vector<DeviceRow> rows{
        Heard(u"10.200.0.1", u"10.1.2.3", "255.0.0.0"),
        Heard(u"192.168.0.20", u"10.1.2.3", "255.0.0.0"),
        Heard(u"010.1.2.4", u"10.1.2.3", "255.0.0.0"), // no plain address
        Heard(u"10.1.2.4", u"", "255.0.0.0"),          // no local address
    };
    std::ostringstream out;
    WriteCsv(out, rows);
    std::vector<std::string> sameSubnet;
    for (const std::vector<std::string>& record : ParseCsv(out.str())) {
        sameSubnet.push_back(record.back());
    }
    EXPECT_EQ(sameSubnet,
              (std::vector<std::string>{"SameSubnet", "true", "false", "false", "false"}));
}

TEST(CsvFormat, HeaderAloneWhenNothingAnswered) {
    std::ostringstream out;
    WriteCsv(out, {});
    EXPECT_EQ(ParseCsv(out.str()).size(), 1u);
}

TEST(JsonFormat, StaysValidForControlCharactersAndLoneSurrogates) {
    const std::u16string loneSurrogates{u'x', char16_t(0xD800), u'y', char16_t(0xDFFF)};
    const std::vector<DeviceRow> rows{
        Row(u"Quote\" back\\slash", std::u16string{u'\0', u'\x01', u'\x1F', u'\n'}, u"10.0.0.1",
            loneSurrogates, u"80", u"10.0.0.9"),
        Row(u"M\u00FCller", u"\U0001F4F7 \u6771\u4EAC", u"10.0.0.2", u"", u"", u"10.0.0.8",
            "255.255.255.255"),
    };
    std::ostringstream out;
    WriteJson(out, rows);
    // parse() rejects invalid UTF-8 and raw control characters.
    const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(out.str());
    ASSERT_TRUE(parsed.is_array());
    ASSERT_EQ(parsed.size(), 2u);

    std::vector<std::string> keys;
    for (const auto& [key, value] : parsed[0].items()) {
        keys.push_back(key);
        EXPECT_EQ(value.is_string(), key != "SameSubnet") << key;
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"Manufacture", "Model", "IP", "MAC", "HttpPort",
                                              "LocalAddress", "Protocol", "SameSubnet"}));
    EXPECT_EQ(parsed[0]["SameSubnet"], true);
    EXPECT_EQ(parsed[1]["SameSubnet"], false);
    EXPECT_EQ(parsed[0]["Manufacture"], "Quote\" back\\slash");
    EXPECT_EQ(parsed[0]["Model"], std::string("\0\x01\x1F\n", 4));
    EXPECT_EQ(parsed[0]["MAC"], "x\xEF\xBF\xBDy\xEF\xBF\xBD");
    EXPECT_EQ(parsed[0]["LocalAddress"], "10.0.0.9");
    EXPECT_EQ(parsed[0]["Protocol"], "UDP 2900");
    EXPECT_EQ(parsed[1]["Manufacture"], "M\xC3\xBCller");
    EXPECT_EQ(parsed[1]["Model"], "\xF0\x9F\x93\xB7 \xE6\x9D\xB1\xE4\xBA\xAC");
    EXPECT_EQ(parsed[1]["HttpPort"], "");
    // Written row by row, yet laid out exactly as the library lays out the whole array.
    EXPECT_EQ(out.str(), parsed.dump(2) + "\n");
}

TEST(JsonFormat, AnEventLineIsOneValidObjectOfTheWholeRowOrItsIp) {
    const DeviceRow row = Row(u"M\u00FCller", std::u16string{u'a', u'\n', char16_t(0xD800)},
                              u"10.0.0.1", u"", u"80", u"10.0.0.9");
    std::ostringstream out;
    WriteJsonEventLine(out, "found", row, EventRowFields::Whole);
    WriteJsonEventLine(out, "gone", row, EventRowFields::IpOnly);
    const std::vector<std::string> lines = SplitLines(out.str());
    ASSERT_EQ(lines.size(), 2u) << out.str();

    const nlohmann::ordered_json found = nlohmann::ordered_json::parse(lines[0]);
    std::vector<std::string> keys;
    for (const auto& [key, value] : found.items()) {
        keys.push_back(key);
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"event", "Manufacture", "Model", "IP", "MAC", "HttpPort",
                                        "LocalAddress", "Protocol", "SameSubnet"}));
    EXPECT_EQ(found["event"], "found");
    EXPECT_EQ(found["Manufacture"], "M\xC3\xBCller");
    EXPECT_EQ(found["Model"], "a\n\xEF\xBF\xBD");
    EXPECT_EQ(lines[1], R"({"event": "gone", "IP": "10.0.0.1"})");
}

TEST(JsonFormat, EmptyArrayWhenNothingAnswered) {
    std::ostringstream out;
    WriteJson(out, {});
    EXPECT_EQ(out.str(), "[]\n");
}

TEST(PrometheusFormat, OneTargetGroupPerRowWithValidUtf8Labels) {
    DeviceRow both =
        RowOfOnvifDevice({{u"Lumen", u"LX", u"10.0.0.7", u"", u"443"}, u"https"}, u"L", {});
    both.protocols = both.protocols.With(DeviceProtocol::Udp2900);
    const std::vector<DeviceRow> rows{
        Row(std::u16string{u'M', u'\u00FC', char16_t(0xD800), u'\x01', u'\n'},
            std::u16string{u'x', char16_t(0xDFFF), u'"'}, u"10.0.0.1", u"00:11:22:33:44:55",
            u"8080", u"10.0.0.9"),
        both,
    };
    std::ostringstream out;
    WritePrometheus(out, rows);
    // parse() rejects invalid UTF-8 and raw control characters.
    const nlohmann::ordered_json parsed = nlohmann::ordered_json::parse(out.str());
    const auto group = [](std::string target, std::string maker, std::string model, std::string mac,
                          std::string local, std::string protocol) {
        return nlohmann::ordered_json{{"targets", nlohmann::ordered_json::array({target})},
                                      {"labels",
                                       {{"manufacture", maker},
                                        {"model", model},
                                        {"mac", mac},
                                        {"local_address", local},
                                        {"protocol", protocol}}}};
    };
    const nlohmann::ordered_json expected{
        group("10.0.0.1:8080", "M\xC3\xBC\xEF\xBF\xBD\x01\n", "x\xEF\xBF\xBD\"",
              "00:11:22:33:44:55", "10.0.0.9", "UDP 2900"),
        group("10.0.0.7:443", "Lumen", "LX", "", "L", "UDP 2900, ONVIF")};
    EXPECT_EQ(parsed, expected) << out.str();
    EXPECT_EQ(SplitLines(out.str()).size(), 2u + rows.size()) << "one group per line";
}

// Only a dotted IPv4 address and a port number 1..65535 make a target Prometheus can scrape.
TEST(PrometheusFormat, RowsThatCannotBeTargetsAreLeftOut) {
    std::vector<DeviceRow> rows;
    for (const auto& [ip, port] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"10.0.0.1:9090", u"80"},
             {u"recorder.example", u"80"},
             {u"10.1", u"80"},
             {u"010.0.0.1", u"80"},
             {u"10.0.0.256", u"80"},
             {u"", u"80"},
             {u"10.0.0.2", u""},
             {u"10.0.0.2", u"0"},
             {u"10.0.0.2", u"65536"},
             {u"10.0.0.2", u" 81"},
             {u"10.0.0.2", u"80/x"},
             {u"10.0.0.3", u"65535"},
         }) {
        rows.push_back(Row(u"A", u"B", ip, u"", port, u"L"));
    }
    std::ostringstream out;
    WritePrometheus(out, rows);
    const nlohmann::json parsed = nlohmann::json::parse(out.str());
    ASSERT_EQ(parsed.size(), 1u) << out.str();
    EXPECT_EQ(parsed[0]["targets"], nlohmann::json::array({"10.0.0.3:65535"}));

    std::ostringstream none;
    WritePrometheus(none, {rows[0]});
    EXPECT_EQ(none.str(), "[]\n");
}

} // namespace
} // namespace ferrow
