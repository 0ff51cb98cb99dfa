#include "discovery/TextConversion.h"

#include <clocale>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

// Sets the character set for one test and puts the previous one back.
class LocaleScope {
public:
    explicit LocaleScope(const char* name) : m_previous(std::setlocale(LC_ALL, nullptr)) {
        m_active = std::setlocale(LC_ALL, name) != nullptr;
    }
    ~LocaleScope() { std::setlocale(LC_ALL, m_previous.c_str()); }
    bool Active() const { return m_active; }

private:
    std::string m_previous;
    bool m_active = false;
};

#define REQUIRE_LOCALE(scope, name)                                                                \
    LocaleScope scope(name);                                                                       \
    if (!scope.Active()) {                                                                         \
        GTEST_SKIP() << "locale " << name << " is not installed";                                  \
    }

TEST(TextConversionTest, AsciiConvertsUnchangedBothWays) {
    std::string narrow;
    for (int c = 1; c < 0x80; ++c) {
        narrow += static_cast<char>(c);
    }
    const std::u16string wide = NarrowToUtf16(narrow);
    ASSERT_EQ(wide.size(), narrow.size());
    for (std::size_t i = 0; i < narrow.size(); ++i) {
        EXPECT_EQ(wide[i], static_cast<char16_t>(narrow[i]));
    }
    EXPECT_EQ(Utf16ToNarrow(wide), narrow);
    EXPECT_EQ(NarrowToUtf16(""), u"");
    EXPECT_EQ(Utf16ToNarrow(u""), "");
}

TEST(TextConversionTest, NarrowTextOfTheLocaleIsDecoded) {
    REQUIRE_LOCALE(utf8, "C.UTF-8");
    EXPECT_EQ(NarrowToUtf16("M\xC3\xBCller"), u"Müller");
    EXPECT_EQ(NarrowToUtf16("\xE6\x9D\xB1\xE8\x8A\x9D NVR"), u"\u6771\u829d NVR");
    EXPECT_EQ(NarrowToUtf16("cam \xF0\x9F\x93\xB7!"), u"cam \U0001F4F7!");
}

TEST(TextConversionTest, UnmappableBytesBecomeReplacementCharactersAndTheRestStays) {
    REQUIRE_LOCALE(utf8, "C.UTF-8");
    EXPECT_EQ(NarrowToUtf16("Acme\xFF Corp"), u"Acme\uFFFD Corp");
    EXPECT_EQ(NarrowToUtf16("\x80\x80x"), u"\uFFFD\uFFFDx");
    EXPECT_EQ(NarrowToUtf16("<IP>1.2.3.4</IP>\xC3"), u"<IP>1.2.3.4</IP>\uFFFD");
    EXPECT_EQ(NarrowToUtf16("\xC3(ok)"), u"\uFFFD(ok)");
}

TEST(TextConversionTest, WideTextGoesBackToTheLocale) {
    REQUIRE_LOCALE(utf8, "C.UTF-8");
    EXPECT_EQ(Utf16ToNarrow(u"Müller \u6771\u829d \U0001F4F7"),
              "M\xC3\xBCller \xE6\x9D\xB1\xE8\x8A\x9D \xF0\x9F\x93\xB7");
    const std::u16string loneSurrogate = u"a" + std::u16string(1, char16_t(0xD800)) + u"b";
    EXPECT_EQ(Utf16ToNarrow(loneSurrogate), "a?b");
}

TEST(TextConversionTest, CharactersTheLocaleCannotHoldBecomeQuestionMarks) {
    REQUIRE_LOCALE(plain, "C");
    EXPECT_EQ(Utf16ToNarrow(u"10.0.0.1\u00e9x"), "10.0.0.1?x");
}

TEST(TextConversionTest, NulBytesAreKept) {
    const std::string narrow("a\0b", 3);
    EXPECT_EQ(NarrowToUtf16(narrow), std::u16string(u"a\0b", 3));
    EXPECT_EQ(Utf16ToNarrow(std::u16string(u"a\0b", 3)), narrow);
}

} // namespace
} // namespace ferrow
