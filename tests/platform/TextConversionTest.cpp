#include "platform/TextConversion.h"

#include <clocale>
#ifdef _WIN32
#include <windows.h>
#endif
#include <cuchar>
#include <cwchar>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

// bytes as the library decodes them as UTF-8, or nothing when they are not UTF-8 or hold a
// code point that is no character (a surrogate, or past U+10FFFF).
std::optional<std::u16string> LibraryDecodesUtf8(std::string bytes) {
    std::u16string wide;
    while (!bytes.empty()) {
        const auto [first, used] = LibraryDecodesFirst(bytes);
        if (first == u"\uFFFD") {
            return std::nullopt;
        }
        wide += first;
        bytes.erase(0, used);
    }
    return wide;
}

TEST(TextConversionTest, EveryShortReplyIsUtf8OnlyWhereTheLibrarySaysSo) {
    // The sequences of the test above, with ASCII around them. The library's verdict is
    // taken in a UTF-8 locale; the replies are read in the C locale, whose narrow set tells
    // a reply read as narrow text (every byte above 0x7F U+FFFD) from one read as UTF-8.
    std::vector<std::pair<std::string, std::optional<std::u16string>>> cases;
    {
        REQUIRE_LOCALE(utf8, "C.UTF-8");
        for (int lead = 0x80; lead <= 0xFF; ++lead) {
            for (int second = 0; second <= 0xFF; ++second) {
                for (const char* tail : {"", "\x80", "\x80\xBF",
                                         "\xBF\x80"
                                         "A",
                                         "A"}) {
                    std::string bytes = "<M>";
                    bytes += {static_cast<char>(lead), static_cast<char>(second)};
                    bytes += tail;
                    cases.emplace_back(bytes, LibraryDecodesUtf8(bytes));
                }
            }
        }
    }
    REQUIRE_LOCALE(plain, "C");
    for (const auto& [bytes, utf8] : cases) {
        ASSERT_EQ(ReplyTextToUtf16(bytes), utf8.value_or(NarrowToUtf16(bytes))) << bytes;
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

// Replies read the same on every platform when they are UTF-8, whatever the narrow set (the
// ANSI code page under Wine, the C locale here).
TEST(TextConversionTest, ReplyTextThatIsUtf8IsReadAsUtf8) {
    EXPECT_EQ(ReplyTextToUtf16("<M>M\xC3\xBCller Sicherheit</M>"), u"<M>Müller Sicherheit</M>");
    EXPECT_EQ(ReplyTextToUtf16("\xE6\x9D\xB1\xE8\x8A\x9D NVR"), u"\u6771\u829d NVR");
    EXPECT_EQ(ReplyTextToUtf16("cam \xF0\x9F\x93\xB7\xF4\x8F\xBF\xBF"),
              u"cam \U0001F4F7\U0010FFFF");
    EXPECT_EQ(ReplyTextToUtf16("plain <IP>10.0.0.1</IP>"), u"plain <IP>10.0.0.1</IP>");
}

// Not UTF-8 as a whole: an overlong form, a surrogate, past U+10FFFF, cut off, a stray
// continuation byte, a legacy 8-bit byte after a valid sequence. The whole reply is then
// read as the platform's narrow text, as before.
TEST(TextConversionTest, ReplyTextThatIsNotUtf8IsReadAsNarrowText) {
    for (const std::string bytes :
         {"M\xFCller", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ok \xC3",
          "\x80 5", "M\xC3\xBCller \xE9t\xE9", "\xE6\x9D"}) {
        EXPECT_EQ(ReplyTextToUtf16(bytes), NarrowToUtf16(bytes)) << bytes;
    }
}

// UTF-8 read as UTF-8 whatever the narrow set: each ill-formed sequence is one U+FFFD, as
// long as the start of a character it holds (an overlong form, a surrogate or a code point
// past U+10FFFF breaks off at its second byte).
TEST(TextConversionTest, Utf8ReplacesEachIllFormedSequenceWithOneReplacementCharacter) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"M\xC3\xBCller \xE6\x9D\xB1 \xF0\x9F\x93\xB7", u"Müller \u6771 \U0001F4F7"},
        {"ok \xC3", u"ok \uFFFD"},
        {"\xE6\x9D"
         "A",
         u"\uFFFDA"},
        {"\xF0\x9F\x93"
         "x\xF0\x9F\x93",
         u"\uFFFDx\uFFFD"},
        {"\x80\xBF"
         "a",
         u"\uFFFD\uFFFDa"},
        {"\xC0\xAF", u"\uFFFD\uFFFD"},
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"\xFF\xC3\xBC", u"\uFFFDü"},
        {std::string("a\0\xC3\xBC", 4), std::u16string(u"a\0ü", 3)},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(Utf8ToUtf16(bytes), expected) << bytes;
        const bool wellFormed = expected.find(u'\uFFFD') == std::u16string::npos;
        EXPECT_EQ(WellFormedUtf8ToUtf16(bytes), wellFormed ? std::optional(expected) : std::nullopt)
            << bytes;
    }
}

TEST(TextConversionTest, NulBytesAreKept) {
    const std::string narrow("a\0b", 3);
    EXPECT_EQ(NarrowToUtf16(narrow), std::u16string(u"a\0b", 3));
    EXPECT_EQ(Utf16ToNarrow(std::u16string(u"a\0b", 3)), narrow);
}

} // namespace
} // namespace ferrow
