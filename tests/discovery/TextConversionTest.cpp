#include "discovery/TextConversion.h"

#include <clocale>
#ifdef _WIN32
#include <windows.h>
#endif
#include <cuchar>
#include <cwchar>
#include <gtest/gtest.h>
#include <string>
#include <utility>

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

#ifdef _WIN32

// On Windows the narrow text is the thread's ANSI code page; the suite runs under code
// page 1252 (Western European), whose bytes 0x80-0xFF all stand for characters.
TEST(TextConversionTest, NarrowTextOfTheAnsiCodePageIsDecoded) {
    ASSERT_EQ(::GetACP(), 1252u) << "the expectations below are those of code page 1252";
    EXPECT_EQ(NarrowToUtf16("M\xFCller"), u"Müller");
    EXPECT_EQ(NarrowToUtf16("\x80 5 \xE9"), u"\u20AC 5 \u00E9");
    EXPECT_EQ(Utf16ToNarrow(u"M\u00FCller \u20AC"), "M\xFCller \x80");
}

TEST(TextConversionTest, CharactersTheCodePageCannotHoldBecomeQuestionMarks) {
    ASSERT_EQ(::GetACP(), 1252u);
    EXPECT_EQ(Utf16ToNarrow(u"10.0.0.1\u00e9x"), "10.0.0.1\xE9x");
    EXPECT_EQ(Utf16ToNarrow(u"\u6771\u829d NVR"), "?? NVR");
}

#else

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

// The first character of bytes as the library decodes it, in UTF-16 (U+FFFD for bytes
// that do not make one, or one UTF-16 cannot hold), and how many bytes it takes (1 for
// bytes that make none, all for a cut-off character).
std::pair<std::u16string, std::size_t> LibraryDecodesFirst(const std::string& bytes) {
    char32_t codePoint = 0;
    std::mbstate_t state{};
    const std::size_t used = std::mbrtoc32(&codePoint, bytes.data(), bytes.size(), &state);
    if (used == static_cast<std::size_t>(-1)) {
        return {u"\uFFFD", 1};
    }
    if (used == static_cast<std::size_t>(-2)) {
        return {u"\uFFFD", bytes.size()};
    }
    if ((codePoint >= 0xD800 && codePoint <= 0xDFFF) || codePoint > 0x10FFFF) {
        return {u"\uFFFD", used}; // decoded, but no character UTF-16 can hold
    }
    if (codePoint < 0x10000) {
        return {std::u16string(1, static_cast<char16_t>(codePoint)), used};
    }
    codePoint -= 0x10000;
    return {{static_cast<char16_t>(0xD800 + (codePoint >> 10)),
             static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF))},
            used};
}

TEST(TextConversionTest, EveryShortSequenceDecodesAsTheLibraryDecodesIt) {
    // Each non-ASCII lead byte with every second byte and a choice of what follows:
    // well-formed characters of two to four bytes, overlong forms, surrogates, code
    // points past U+10FFFF, cut-off and broken sequences.
    REQUIRE_LOCALE(utf8, "C.UTF-8");
    const std::string tails[] = {"",
                                 "\x80",
                                 "\xBF",
                                 "\x80\xBF",
                                 "\xBF\x80",
                                 "A",
                                 "\x80"
                                 "A"};
    for (int lead = 0x80; lead <= 0xFF; ++lead) {
        for (int second = 0; second <= 0xFF; ++second) {
            for (const std::string& tail : tails) {
                std::string bytes{static_cast<char>(lead), static_cast<char>(second)};
                bytes += tail;
                const auto [first, used] = LibraryDecodesFirst(bytes);
                const std::u16string expected =
                    used < bytes.size() ? first + NarrowToUtf16(bytes.substr(used)) : first;
                ASSERT_EQ(NarrowToUtf16(bytes), expected)
                    << "lead " << lead << " second " << second << " tail " << tail.size();
            }
        }
    }
}

TEST(TextConversionTest, WideTextGoesBackToTheLocale) {
    REQUIRE_LOCALE(utf8, "C.UTF-8");
    EXPECT_EQ(Utf16ToNarrow(u"Müller \u6771\u829d \U0001F4F7"),
              "M\xC3\xBCller \xE6\x9D\xB1\xE8\x8A\x9D \xF0\x9F\x93\xB7");
    const std::u16string loneSurrogate{u'a', char16_t(0xD800), u'b'};
    EXPECT_EQ(Utf16ToNarrow(loneSurrogate), "a?b");
}

TEST(TextConversionTest, CharactersTheLocaleCannotHoldBecomeQuestionMarks) {
    REQUIRE_LOCALE(plain, "C");
    EXPECT_EQ(Utf16ToNarrow(u"10.0.0.1\u00e9x"), "10.0.0.1?x");
}

#endif

TEST(TextConversionTest, NulBytesAreKept) {
    const std::string narrow("a\0b", 3);
    EXPECT_EQ(NarrowToUtf16(narrow), std::u16string(u"a\0b", 3));
    EXPECT_EQ(Utf16ToNarrow(std::u16string(u"a\0b", 3)), narrow);
}

} // namespace
} // namespace ferrow
