// The web address built from a row's scheme, IP Address and Http Port texts, which any
// host on the network can choose: only a plain http or https address of that host and port
// passes.
#include "ui/DeviceWebAddress.h"

#include <gtest/gtest.h>

namespace ferrow {
namespace {

std::string Address(const QString& ip, const QString& port,
                    const QString& scheme = QStringLiteral("http")) {
    const auto url = DeviceWebAddress(scheme, ip, port);
    return url ? url->toString().toStdString() : std::string("(refused)");
}

TEST(DeviceWebAddressTest, BuildsHttpAddressOfIpAndPort) {
    EXPECT_EQ(Address("192.168.1.20", "80"), "http://192.168.1.20:80/");
    EXPECT_EQ(Address("10.0.0.7", "8080"), "http://10.0.0.7:8080/");
}

TEST(DeviceWebAddressTest, BuildsHttpsAddressOfAnHttpsRow) {
    EXPECT_EQ(Address("192.168.1.20", "443", "https"), "https://192.168.1.20:443/");
    EXPECT_EQ(Address("192.168.1.20", "", "https"), "https://192.168.1.20/");
    EXPECT_EQ(Address("192.168.1.20/x", "443", "https"), "(refused)");
}

TEST(DeviceWebAddressTest, RefusesEveryOtherScheme) {
    for (const char* scheme : {"", "HTTP", "Https", "ftp", "file", "javascript", "data",
                               "http:", "https://evil.example", "http ", "ht\ntp", "smb"}) {
        EXPECT_EQ(Address("192.168.1.20", "80", scheme), "(refused)") << scheme;
    }
}

TEST(DeviceWebAddressTest, KeepsAnEmptyPort) {
    const auto url = DeviceWebAddress("http", "192.168.1.20", "");
    ASSERT_TRUE(url);
    EXPECT_EQ(url->host(), "192.168.1.20");
    EXPECT_EQ(url->port(), -1);
    EXPECT_EQ(url->scheme(), "http");
}

TEST(DeviceWebAddressTest, AcceptsAHostName) {
    EXPECT_EQ(Address("nvr-7.example", "81"), "http://nvr-7.example:81/");
}

TEST(DeviceWebAddressTest, RefusesIpTextsThatChangeTheAddressShape) {
    for (const char* ip : {"evil.example@192.168.1.20", "192.168.1.20/admin", "a\\b",
                           "192.168.1.20?x=1", "192.168.1.20#frag", "192.168.1.20 ",
                           " 192.168.1.20", "192.168 .1.20", "192.168.1.20\t", "1.2.3.4\n"}) {
        EXPECT_EQ(Address(ip, "80"), "(refused)") << ip;
    }
}

TEST(DeviceWebAddressTest, RefusesControlAndFormatCharacters) {
    EXPECT_EQ(Address(QString("1.2.3.4") + QChar(0x01), "80"), "(refused)");
    EXPECT_EQ(Address(QString("1.2.3.4") + QChar(0x7f), "80"), "(refused)");
    EXPECT_EQ(Address(QString("1.2.3.4") + QChar(0x202e), "80"), "(refused)"); // RTL override
    EXPECT_EQ(Address(QString("1.2.3.4") + QChar(0x200b), "80"), "(refused)"); // zero width
}

TEST(DeviceWebAddressTest, RefusesAHostThatReadsAsAnotherOne) {
    EXPECT_EQ(Address("", "80"), "(refused)");
    EXPECT_EQ(Address("1.2.3.4:81", "80"), "(refused)");
    EXPECT_EQ(Address("0x7f.1", "80"), "(refused)"); // the parser reads 127.0.0.1
    EXPECT_EQ(Address("[::1]", "80"), "(refused)");
    EXPECT_EQ(Address("1.2.3.4%2f", "80"), "(refused)");
}

TEST(DeviceWebAddressTest, RefusesPortsThatAreNotAllDigits) {
    for (const char* port : {"80a", "-80", "+80", " 80", "80 ", "80/x", "8 0", "0x50", "80@h"}) {
        EXPECT_EQ(Address("192.168.1.20", port), "(refused)") << port;
    }
    EXPECT_EQ(Address("192.168.1.20", QString::fromUtf8("\u0668\u0660")), "(refused)")
        << "digits of another script";
}

TEST(DeviceWebAddressTest, RefusesAPortOutOfRange) {
    EXPECT_EQ(Address("192.168.1.20", "65536"), "(refused)");
    EXPECT_EQ(Address("192.168.1.20", "99999999999"), "(refused)");
    EXPECT_EQ(Address("192.168.1.20", "65535"), "http://192.168.1.20:65535/");
}

} // namespace
} // namespace ferrow
