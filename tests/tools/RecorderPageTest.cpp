// The text of ferrow-recorder's web page and the HttpPort texts it is served on.
#include "tools/recorder/RecorderPage.h"

#include "platform/TextConversion.h"

#include <gtest/gtest.h>

namespace ferrow::recorder {
namespace {

TEST(RecorderPage, EscapesEveryFieldAndStaysWellFormedUtf8) {
    RecorderOptions options;
    options.manufacture = "A<&\"B'";
    options.model = "<script>x</script>";
    options.ip = "10.0.0.1&";
    options.mac = "\xFF<"; // a byte that is no UTF-8
    const std::string page = BuildRecorderPage(options);

    EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u) << page;
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos) << page;
    EXPECT_NE(page.find("<title>A&lt;&amp;&quot;B&#39; &lt;script&gt;x&lt;/script&gt;</title>"),
              std::string::npos)
        << page;
    EXPECT_EQ(page.find("<script>"), std::string::npos) << page;
    EXPECT_NE(page.find("<dd>10.0.0.1&amp;</dd>"), std::string::npos) << page;
    // The byte is read as the platform reads narrow text (U+FFFD where that is UTF-8, "ÿ"
    // in Windows-1252); either way it reaches the page as UTF-8.
    EXPECT_NE(page.find("<dt>MAC</dt><dd>"), std::string::npos) << page;
    EXPECT_NE(page.find("&lt;</dd>\n</dl>"), std::string::npos) << page;
    EXPECT_EQ(page.find('\xFF'), std::string::npos) << page;
    EXPECT_TRUE(WellFormedUtf8ToUtf16(page)) << page;
}

TEST(RecorderPage, OnlyPortNumbersAreServed) {
    EXPECT_EQ(TcpPortOf("1"), 1);
    EXPECT_EQ(TcpPortOf("8080"), 8080);
    EXPECT_EQ(TcpPortOf("65535"), 65535);
    for (const char* odd : {"", "0", "65536", "99999", "123456", "80a", " 80", "+80", "-1"}) {
        EXPECT_FALSE(TcpPortOf(odd)) << odd;
    }
}

} // namespace
} // namespace ferrow::recorder
