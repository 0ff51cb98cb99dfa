#include "xml/TokenScanner.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ferrow {
namespace {

struct Token {
    TokenKind kind;
    std::u16string text;
    bool empty;
    std::vector<std::u16string> faults; // "name@offset" or "name:type@offset"

    bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Token& token) {
    out << static_cast<int>(token.kind) << " '";
    for (char16_t unit : token.text) {
        out << (unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    out << "'" << (token.empty ? " empty" : "") << " faults:" << token.faults.size();
    return out;
}

std::u16string Describe(const SyntaxFault& fault) {
    std::u16string described = fault.name;
    if (fault.kindWord != nullptr) {
        described += u':';
        described += fault.kindWord;
    }
    described += u'@';
    for (char unit : std::to_string(fault.offset)) {
        described += static_cast<char16_t>(unit);
    }
    return described;
}

// All tokens of text up to the end of text (not included).
std::vector<Token> Scan(const std::u16string& text) {
    TokenScanner scanner(text.c_str(), 0);
    NodeToken token;
    std::vector<Token> tokens;
    while (scanner.NextToken(token) != TokenKind::EndOfText) {
        Token described{token.kind,
                        text.substr(static_cast<std::size_t>(token.start),
                                    static_cast<std::size_t>(token.length)),
                        token.empty,
                        {}};
        for (const SyntaxFault& fault : token.results) {
            described.faults.push_back(Describe(fault));
        }
        tokens.push_back(described);
        EXPECT_EQ(scanner.Position(), token.start + token.length);
    }
    return tokens;
}

Token Tk(TokenKind kind, std::u16string text, bool empty = false) {
    return {kind, std::move(text), empty, {}};
}

Token Fault(std::u16string text, std::vector<std::u16string> faults) {
    return {TokenKind::MarkupError, std::move(text), false, std::move(faults)};
}

using K = TokenKind;

TEST(TokenScannerTest, ReplyPrefixIsTextBeforeTheMarkup) {
    EXPECT_EQ(Scan(u"80503736<XNR><Model>A</Model></XNR>"),
              (std::vector<Token>{Tk(K::TextRun, u"80503736"), Tk(K::StartTag, u"<XNR>"),
                                  Tk(K::StartTag, u"<Model>"), Tk(K::TextRun, u"A"),
                                  Tk(K::EndTag, u"</Model>"), Tk(K::EndTag, u"</XNR>")}));
}

TEST(TokenScannerTest, DeclarationAndLineBreaksAreTheirOwnTokens) {
    EXPECT_EQ(Scan(u"80503736<?xml version=\"1.0\"?>\r\n<XNR>\r\n</XNR>"),
              (std::vector<Token>{Tk(K::TextRun, u"80503736"),
                                  Tk(K::ProcessingInstruction, u"<?xml version=\"1.0\"?>"),
                                  Tk(K::WhitespaceRun, u"\r\n"), Tk(K::StartTag, u"<XNR>"),
                                  Tk(K::WhitespaceRun, u"\r\n"), Tk(K::EndTag, u"</XNR>")}));
}

TEST(TokenScannerTest, TextRunEndsJustAfterAGreaterThanSign) {
    EXPECT_EQ(Scan(u"a>b<c/>"), (std::vector<Token>{Tk(K::TextRun, u"a>"), Tk(K::TextRun, u"b"),
                                                    Tk(K::StartTag, u"<c/>", true)}));
    // The first unit of a run is never its end, even when it is '>'.
    EXPECT_EQ(Scan(u">x>y"), (std::vector<Token>{Tk(K::TextRun, u">x>"), Tk(K::TextRun, u"y")}));
    EXPECT_EQ(Scan(u" \t>x>"), (std::vector<Token>{Tk(K::TextRun, u" \t>x>")}));
}

TEST(TokenScannerTest, WhitespaceRunTurnsIntoTextAtTheFirstOtherUnit) {
    EXPECT_EQ(Scan(u" \t\r\n<a>"),
              (std::vector<Token>{Tk(K::WhitespaceRun, u" \t\r\n"), Tk(K::StartTag, u"<a>")}));
    EXPECT_EQ(Scan(u"  x <a>"),
              (std::vector<Token>{Tk(K::TextRun, u"  x "), Tk(K::StartTag, u"<a>")}));
    EXPECT_EQ(Scan(u"\n\n"), (std::vector<Token>{Tk(K::WhitespaceRun, u"\n\n")}));
}

TEST(TokenScannerTest, EmptyElementNeedsSlashAfterNameSpaceOrQuote) {
    EXPECT_TRUE(Scan(u"<a/>")[0].empty);
    EXPECT_TRUE(Scan(u"<a />")[0].empty);
    EXPECT_TRUE(Scan(u"<a\n/>")[0].empty);
    EXPECT_TRUE(Scan(u"<a b='x'/>")[0].empty);
    EXPECT_TRUE(Scan(u"<a b=\"x\"/>")[0].empty);
    EXPECT_FALSE(Scan(u"<a b=x/>")[0].empty); // the '/' belongs to the unquoted value
    EXPECT_FALSE(Scan(u"<a/ >")[0].empty);
    EXPECT_FALSE(Scan(u"<a>")[0].empty);
    EXPECT_FALSE(Scan(u"<ab/c/>")[0].empty);
}

TEST(TokenScannerTest, SlashesAfterTheNameDoNotAlwaysCloseTheElement) {
    EXPECT_EQ(Scan(u"<a//><b/x>"),
              (std::vector<Token>{Tk(K::StartTag, u"<a//>"), Tk(K::StartTag, u"<b/x>")}));
    EXPECT_EQ(Scan(u"</a/></ >"),
              (std::vector<Token>{Tk(K::EndTag, u"</a/>"), Tk(K::EndTag, u"</ >")}));
    EXPECT_EQ(Scan(u"x<a/"),
              (std::vector<Token>{Tk(K::TextRun, u"x"),
                                  Fault(u"<a/", {u"unterminated_tag_syntax:start_tag@1"})}));
}

TEST(TokenScannerTest, GreaterThanInsideAQuotedValueIsOrdinary) {
    EXPECT_EQ(Scan(u"<a x='1>2'>t"),
              (std::vector<Token>{Tk(K::StartTag, u"<a x='1>2'>"), Tk(K::TextRun, u"t")}));
    EXPECT_EQ(Scan(u"<a x = \"'>\" y='\">'>"),
              (std::vector<Token>{Tk(K::StartTag, u"<a x = \"'>\" y='\">'>")}));
    EXPECT_EQ(Scan(u"<a x=1>"), (std::vector<Token>{Tk(K::StartTag, u"<a x=1>")}));
}

TEST(TokenScannerTest, QuotesOpenValuesOnlyRightAfterEquals) {
    // A quote not after '=' is ordinary; so is one after an unquoted value or a second '='.
    EXPECT_EQ(Scan(u"<a \"x>y\">"),
              (std::vector<Token>{Tk(K::StartTag, u"<a \"x>"), Tk(K::TextRun, u"y\">")}));
    EXPECT_EQ(Scan(u"<a x=b'>c'>"),
              (std::vector<Token>{Tk(K::StartTag, u"<a x=b'>"), Tk(K::TextRun, u"c'>")}));
    EXPECT_EQ(Scan(u"<a x==\">\">"),
              (std::vector<Token>{Tk(K::StartTag, u"<a x==\">"), Tk(K::TextRun, u"\">")}));
}

TEST(TokenScannerTest, EndTagsAndLessThanInsideTagsAreNotSpecial) {
    EXPECT_EQ(Scan(u"</a x='>'>"),
              (std::vector<Token>{Tk(K::EndTag, u"</a x='>"), Tk(K::TextRun, u"'>")}));
    EXPECT_EQ(Scan(u"<a <b>"), (std::vector<Token>{Tk(K::StartTag, u"<a <b>")}));
}

TEST(TokenScannerTest, LongTerminatorsMayReuseTheOpening) {
    EXPECT_EQ(Scan(u"<!-->x"),
              (std::vector<Token>{Tk(K::CommentToken, u"<!-->"), Tk(K::TextRun, u"x")}));
    EXPECT_EQ(Scan(u"<!-- a > b -->"),
              (std::vector<Token>{Tk(K::CommentToken, u"<!-- a > b -->")}));
    EXPECT_EQ(Scan(u"<![CDATA[a>]b<c]]>"),
              (std::vector<Token>{Tk(K::CDataSection, u"<![CDATA[a>]b<c]]>")}));
    EXPECT_EQ(Scan(u"<![C]]>"), (std::vector<Token>{Tk(K::CDataSection, u"<![C]]>")}));
    EXPECT_EQ(Scan(u"<?pi a>b ?>"),
              (std::vector<Token>{Tk(K::ProcessingInstruction, u"<?pi a>b ?>")}));
}

TEST(TokenScannerTest, LongTerminatorNeedsItsOffsetPastItsLength) {
    // At the very start of the text "<?>" is too early to end; later it ends at once.
    EXPECT_EQ(Scan(u"<?>x?>"), (std::vector<Token>{Tk(K::ProcessingInstruction, u"<?>x?>")}));
    EXPECT_EQ(Scan(u"x<?>y"),
              (std::vector<Token>{Tk(K::TextRun, u"x"), Tk(K::ProcessingInstruction, u"<?>"),
                                  Tk(K::TextRun, u"y")}));
}

TEST(TokenScannerTest, DocumentTypeDeclarationRunsToItsOwnEnd) {
    EXPECT_EQ(Scan(u"<!DOCTYPE r [ <!ELEMENT r ANY> ]><r/>"),
              (std::vector<Token>{Tk(K::DocTypeToken, u"<!DOCTYPE r [ <!ELEMENT r ANY> ]>"),
                                  Tk(K::StartTag, u"<r/>", true)}));
    EXPECT_EQ(
        Scan(u"<!DOCTYPE r [<!ENTITY e \"a>b\"><!ATTLIST r x CDATA 'q\">'><!-- > --><?p > ?>]>"),
        (std::vector<Token>{Tk(
            K::DocTypeToken,
            u"<!DOCTYPE r [<!ENTITY e \"a>b\"><!ATTLIST r x CDATA 'q\">'><!-- > --><?p > ?>]>")}));
    EXPECT_EQ(Scan(u"<!DOCTYPE r>"), (std::vector<Token>{Tk(K::DocTypeToken, u"<!DOCTYPE r>")}));
}

TEST(TokenScannerTest, FaultInsideDeclarationIsDroppedWhenTheDeclarationEnds) {
    const auto tokens = Scan(u"<!DOCTYPE r [<!X>]><r/>");
    ASSERT_EQ(tokens.size(), 2u);
    EXPECT_EQ(tokens[0].kind, K::DocTypeToken);
    EXPECT_EQ(tokens[0].text, u"<!DOCTYPE r [<!X>]>");
    EXPECT_EQ(tokens[1], Tk(K::StartTag, u"<r/>", true));
}

TEST(TokenScannerTest, FaultInsideDeclarationEndsItAtTheNextLessThan) {
    EXPECT_EQ(Scan(u"x<!DOCTYPE r [<!X <r/>"),
              (std::vector<Token>{Tk(K::TextRun, u"x"),
                                  Fault(u"<!DOCTYPE r [<!X ", {u"doctype_tag_syntax@1"}),
                                  Tk(K::StartTag, u"<r/>", true)}));
}

TEST(TokenScannerTest, MalformedMarkupIsSkippedToTheNextGreaterOrLessThan) {
    EXPECT_EQ(Scan(u"<1>"), (std::vector<Token>{Fault(u"<1>", {u"first_tag_syntax@0"})}));
    EXPECT_EQ(Scan(u"< a>"), (std::vector<Token>{Fault(u"< a>", {u"first_tag_syntax@0"})}));
    EXPECT_EQ(Scan(u"x<!x>"), (std::vector<Token>{Tk(K::TextRun, u"x"),
                                                  Fault(u"<!x>", {u"exclamation_tag_syntax@1"})}));
    EXPECT_EQ(Scan(u"<!-x>"), (std::vector<Token>{Fault(u"<!-x>", {u"comment_tag_syntax@0"})}));
    EXPECT_EQ(Scan(u"<![x>"), (std::vector<Token>{Fault(u"<![x>", {u"cdata_section_syntax@0"})}));
    EXPECT_EQ(Scan(u"<1 <a>"), (std::vector<Token>{Fault(u"<1 ", {u"first_tag_syntax@0"}),
                                                   Tk(K::StartTag, u"<a>")}));
    // The unit that shows the fault is part of the malformed markup.
    EXPECT_EQ(Scan(u"<>a>"), (std::vector<Token>{Fault(u"<>a>", {u"first_tag_syntax@0"})}));
}

TEST(TokenScannerTest, UnterminatedMarkupNamesWhatWasOpen) {
    const std::vector<std::pair<std::u16string, std::u16string>> cases = {
        {u"<a", u"start_tag"},
        {u"<a x='>", u"start_tag"},
        {u"</a", u"end_tag"},
        {u"<![CDATA[x", u"cdata_section"},
        {u"<?x", u"processing_instruction"},
        {u"<!-- x >", u"comment"},
        {u"<!DOCTYPE x", u"document_type"},
        {u"<!DOCTYPE x [<a ", u"document_type"},
        {u"<!DOCTYPE x [<!X>", u"document_type"},
        {u"<", u"tag"},
        {u"<!", u"tag"},
        {u"<!-", u"tag"},
        {u"<![", u"tag"},
        {u"<1", u"tag"},
    };
    for (const auto& [text, word] : cases) {
        const auto tokens = Scan(u"ab" + text);
        ASSERT_EQ(tokens.size(), 2u);
        EXPECT_EQ(tokens[1].kind, K::MarkupError);
        EXPECT_EQ(tokens[1].text, text);
        EXPECT_EQ(tokens[1].faults.back(), u"unterminated_tag_syntax:" + word + u"@2");
    }
}

TEST(TokenScannerTest, EndOfTextIsEmptyAndStays) {
    const std::u16string text = u"<a/>";
    TokenScanner scanner(text.c_str(), 4);
    NodeToken token;
    for (int k = 0; k < 2; ++k) {
        EXPECT_EQ(scanner.NextToken(token), K::EndOfText);
        EXPECT_EQ(token.start, 4);
        EXPECT_EQ(token.length, 0);
        EXPECT_EQ(scanner.Position(), 4);
    }
}

TEST(TokenScannerTest, TagsLeaveTheirNameAsTheNameToken) {
    const std::u16string text = u"<Model attr=\"1\"></Model ><?xml v?></>";
    TokenScanner scanner(text.c_str(), 0);
    NodeToken token;
    scanner.NextToken(token);
    EXPECT_EQ(scanner.Name(), u"Model");
    scanner.NextToken(token);
    EXPECT_EQ(scanner.Name(), u"Model");
    scanner.NextToken(token);
    EXPECT_EQ(scanner.Name(), u"xml");
    scanner.NextToken(token);
    EXPECT_EQ(token.kind, K::EndTag);
    EXPECT_EQ(scanner.Name(), u"");
    EXPECT_EQ(scanner.NameEnd(), scanner.NameStart() - 1);
}

TEST(TokenScannerTest, ReadNameStopsAtDelimitersAndNeverReadsAnEmptyName) {
    const std::u16string text = u"  abc=\"x\" \t";
    TokenScanner scanner(text.c_str(), 0);
    ASSERT_TRUE(scanner.ReadName());
    EXPECT_EQ(scanner.Name(), u"abc");
    ASSERT_TRUE(scanner.ReadName());
    EXPECT_EQ(scanner.Name(), u"=");
    ASSERT_TRUE(scanner.ReadName());
    EXPECT_EQ(scanner.Name(), u"\"");
    ASSERT_TRUE(scanner.ReadName());
    EXPECT_EQ(scanner.Name(), u"x");
    ASSERT_TRUE(scanner.ReadName());
    EXPECT_EQ(scanner.Name(), u"\"");
    EXPECT_FALSE(scanner.ReadName());
    EXPECT_EQ(scanner.NameEnd(), scanner.NameStart() - 1);
}

TEST(TokenScannerTest, MatchNameTakesWholeNamesOnly) {
    const std::u16string text = u"Model";
    TokenScanner scanner(text.c_str(), 0);
    ASSERT_TRUE(scanner.ReadName());
    EXPECT_TRUE(scanner.MatchName(u"Model"));
    EXPECT_FALSE(scanner.MatchName(u"ModelX"));
    EXPECT_FALSE(scanner.MatchName(u"Mode"));
    EXPECT_FALSE(scanner.MatchName(u"model"));
    EXPECT_FALSE(scanner.MatchName(u""));
    EXPECT_TRUE(scanner.MatchName(static_cast<TextArg>(nullptr)));
    for (TextArg tailed : {u"Model attr", u"Model=1", u"Model/", u"Model[", u"Model]"}) {
        EXPECT_TRUE(scanner.MatchName(tailed)) << "tail after the name";
    }
    EXPECT_FALSE(scanner.MatchName(u"Model\t"));
    EXPECT_TRUE(scanner.MatchName(std::u16string_view(u"Model")));
    EXPECT_FALSE(scanner.MatchName(std::u16string_view(u"Mode")));
    EXPECT_FALSE(scanner.MatchName(std::u16string_view(u"Models")));
    EXPECT_TRUE(scanner.MatchName(std::u16string_view(u"Model=x")));
}

TEST(TokenScannerTest, NonAsciiUnitsStartNamesAndTravelThroughText) {
    const std::u16string text = u"\u00e9<\u00e9t\u00e9>\xD83D\xDE00</\u00e9t\u00e9>";
    EXPECT_EQ(
        Scan(text),
        (std::vector<Token>{Tk(K::TextRun, u"\u00e9"), Tk(K::StartTag, u"<\u00e9t\u00e9>"),
                            Tk(K::TextRun, u"\xD83D\xDE00"), Tk(K::EndTag, u"</\u00e9t\u00e9>")}));
}

} // namespace
} // namespace ferrow
