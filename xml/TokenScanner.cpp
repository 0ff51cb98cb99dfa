#include "xml/TokenScanner.h"

#include "xml/CharScan.h"

#include <array>

namespace ferrow {

namespace {

// Classes of the ASCII units; every unit from 0x80 up is a name start and nothing else.
enum CharClass : std::uint8_t {
    Space = 1,      // space, tab, LF, CR
    NameChar = 2,   // 'A'-'Z', '_', ':' and every unit above 0x60
    ReadNameEnd = 4 // NUL, space, tab, LF, CR, < > = \ / ? ! " ' ;
};

constexpr std::array<std::uint8_t, 0x80> MakeCharClasses() {
    std::array<std::uint8_t, 0x80> table{};
    auto add = [&table](std::u16string_view units, std::uint8_t classes) {
        for (char16_t unit : units) {
            table[unit] |= classes;
        }
    };
    add(u" \t\n\r", Space | ReadNameEnd);
    add(std::u16string_view(u"\0<>/=\\?!\"';", 11), ReadNameEnd);
    add(u"ABCDEFGHIJKLMNOPQRSTUVWXYZ_:", NameChar);
    for (char16_t unit = 0x61; unit < 0x80; ++unit) {
        table[unit] |= NameChar;
    }
    return table;
}

constexpr auto kCharClasses = MakeCharClasses();

constexpr bool Is(char16_t unit, CharClass charClass) {
    return unit < 0x80 ? (kCharClasses[unit] & charClass) != 0 : charClass == NameChar;
}

constexpr bool IsQuote(char16_t unit) {
    return unit == u'"' || unit == u'\'';
}

// The word an unterminated-markup record gives for the kind of markup left open.
TextArg KindWord(TokenKind kind) {
    switch (kind) {
    case TokenKind::StartTag:
        return u"start_tag";
    case TokenKind::EndTag:
        return u"end_tag";
    case TokenKind::CDataSection:
        return u"cdata_section";
    case TokenKind::ProcessingInstruction:
        return u"processing_instruction";
    case TokenKind::CommentToken:
        return u"comment";
    default:
        return u"tag";
    }
}

} // namespace

TokenKind TokenScanner::NextToken(NodeToken& token) {
    const char16_t* const text = m_text;
    const std::int32_t start = m_position;
    token.start = start;
    token.empty = false;
    token.results.clear();
    auto finish = [&](TokenKind kind, std::int32_t end) {
        m_position = end;
        token.kind = kind;
        token.length = end - start;
        return kind;
    };

    const char16_t first = text[start];
    if (first == 0) {
        return finish(TokenKind::EndOfText, start);
    }
    if (first == u'<') {
        // A tag with nothing but its name, the common case, is taken here at once;
        // anything else goes through the full markup scan.
        const char16_t second = text[start + 1];
        const bool endTag = second == u'/';
        if (endTag || Is(second, NameChar)) {
            const std::int32_t delimiter = FindTagNameEnd(start + 2);
            const bool emptyElement =
                !endTag && text[delimiter] == u'/' && text[delimiter + 1] == u'>';
            if (text[delimiter] == u'>' || emptyElement) {
                m_nameStart = endTag ? start + 2 : start + 1;
                m_nameEnd = delimiter - 1;
                token.empty = emptyElement;
                return finish(endTag ? TokenKind::EndTag : TokenKind::StartTag,
                              delimiter + (emptyElement ? 2 : 1));
            }
        }
        return ScanMarkup(token);
    }

    // Character data. Whitespace alone up to the next '<' or the end is a whitespace
    // run; anything else makes a text run, which from its second unit on ends before a
    // '<' or just after a '>'.
    std::int32_t i = start;
    if (Is(first, Space)) {
        while (Is(text[i], Space)) {
            ++i;
        }
        if (text[i] == u'<' || text[i] == 0) {
            return finish(TokenKind::WhitespaceRun, i);
        }
    }
    i = FindRunEnd(i + 1);
    return finish(TokenKind::TextRun, text[i] == u'>' ? i + 1 : i);
}

void TokenScanner::SkipToMarkup() {
    m_position = FindFirstOf<u'<'>(m_text, m_position, m_end);
}

TokenKind TokenScanner::ScanMarkup(NodeToken& token) {
    enum class State {
        AfterLt,          // after '<'
        AfterBang,        // after "<!"
        AfterBangDash,    // after "<!-"
        AfterBangBracket, // after "<!["
        TagName,          // collecting a tag name
        Seek,             // seeking the terminator of the token or of nested markup
        DocTypeBody,      // inside a document type declaration, outside its markup
    };
    enum class Quoting { None, AttributeValues, Literals };

    const char16_t* const text = m_text;
    const std::int32_t start = m_position;
    std::int32_t i = start + 1;

    // Markup whose kind is not yet known counts as malformed until it is.
    TokenKind kind = TokenKind::MarkupError;
    State state = State::AfterLt;
    bool inDocType = false;
    std::u16string_view terminatorHead; // what must stand right before the final '>'
    Quoting quoting = Quoting::None;
    bool afterEquals = false;
    char16_t openQuote = 0;
    std::int32_t nameBegin = start;

    auto finish = [&](TokenKind finalKind, std::int32_t end) {
        m_position = end;
        token.kind = finalKind;
        token.length = end - start;
        return finalKind;
    };
    auto seek = [&](TokenKind markupKind, std::u16string_view head, Quoting markupQuoting) {
        kind = markupKind;
        terminatorHead = head;
        quoting = markupQuoting;
        afterEquals = false;
        openQuote = 0;
        state = State::Seek;
    };
    // Malformed markup is skipped up to the next '>' (or to the next '<').
    auto fault = [&](TextArg name) {
        token.results.push_back({name, nullptr, start});
        seek(TokenKind::MarkupError, {}, Quoting::None);
    };

    for (;;) {
        const char16_t unit = text[i];
        if (unit == 0) {
            token.results.push_back(
                {u"unterminated_tag_syntax", inDocType ? u"document_type" : KindWord(kind), start});
            return finish(TokenKind::MarkupError, i);
        }

        switch (state) {
        case State::AfterLt:
            if (Is(unit, NameChar)) {
                seek(TokenKind::StartTag, {}, Quoting::AttributeValues);
                state = State::TagName;
                nameBegin = i;
            } else if (unit == u'/') {
                seek(TokenKind::EndTag, {}, Quoting::None);
                state = State::TagName;
                nameBegin = i + 1;
            } else if (unit == u'?') {
                seek(TokenKind::ProcessingInstruction, u"?", Quoting::None);
                state = State::TagName;
                nameBegin = i + 1;
            } else if (unit == u'!') {
                state = State::AfterBang;
            } else {
                fault(u"first_tag_syntax");
            }
            ++i;
            break;

        case State::AfterBang:
            if (unit == u'-') {
                state = State::AfterBangDash;
            } else if (inDocType) {
                // Markup declarations: <!ELEMENT, <!ATTLIST, <!ENTITY, <!NOTATION.
                if (unit == u'E' || unit == u'A' || unit == u'N') {
                    seek(TokenKind::DocTypeToken, {}, Quoting::Literals);
                } else {
                    fault(u"doctype_tag_syntax");
                }
            } else if (unit == u'[') {
                state = State::AfterBangBracket;
            } else if (unit == u'D') {
                inDocType = true;
                kind = TokenKind::DocTypeToken;
                state = State::DocTypeBody;
            } else {
                fault(u"exclamation_tag_syntax");
            }
            ++i;
            break;

        case State::AfterBangDash:
            if (unit == u'-') {
                seek(TokenKind::CommentToken, u"--", Quoting::None);
            } else {
                fault(u"comment_tag_syntax");
            }
            ++i;
            break;

        case State::AfterBangBracket:
            if (unit == u'C') {
                seek(TokenKind::CDataSection, u"]]", Quoting::None);
            } else {
                fault(u"cdata_section_syntax");
            }
            ++i;
            break;

        case State::TagName:
            i = FindTagNameEnd(i);
            if (text[i] != 0) {
                // The delimiter itself is scanned next, as part of the tag.
                m_nameStart = nameBegin;
                m_nameEnd = i - 1;
                state = State::Seek;
            }
            break;

        case State::DocTypeBody:
            i = FindRunEnd(i);
            if (text[i] == u'<') {
                state = State::AfterLt;
                ++i;
            } else if (text[i] == u'>') {
                return finish(TokenKind::DocTypeToken, i + 1);
            }
            break;

        case State::Seek:
            if (openQuote != 0) {
                // Inside a quoted value or literal only its own quote ends it.
                i = FindQuote(i, openQuote);
                if (text[i] == openQuote) {
                    openQuote = 0;
                    ++i;
                }
                break;
            }
            if (quoting == Quoting::None) {
                i = FindRunEnd(i);
                if (text[i] == 0) {
                    break;
                }
            }
            if (text[i] == u'>') {
                const auto headLength = static_cast<std::int32_t>(terminatorHead.size());
                // The look-back may reuse units of the opening, so "<!-->" is a comment.
                if (headLength == 0 ||
                    (i > headLength + 1 &&
                     std::u16string_view(text + i - headLength, terminatorHead.size()) ==
                         terminatorHead)) {
                    if (inDocType) {
                        state = State::DocTypeBody; // the declaration goes on to its own '>'
                        ++i;
                        break;
                    }
                    if (kind == TokenKind::StartTag) {
                        token.empty = EndsEmptyElement(i);
                    }
                    return finish(kind, i + 1);
                }
            } else if (text[i] == u'<') {
                if (kind == TokenKind::MarkupError) {
                    return finish(kind, i); // malformed markup ends before the next markup
                }
            } else if (quoting == Quoting::AttributeValues) {
                const char16_t current = text[i];
                if (afterEquals) {
                    if (IsQuote(current)) {
                        openQuote = current;
                        afterEquals = false;
                    } else if (!Is(current, Space)) {
                        afterEquals = false; // an unquoted value, or a second '='
                    }
                } else if (current == u'=') {
                    afterEquals = true;
                }
            } else if (quoting == Quoting::Literals && IsQuote(text[i])) {
                openQuote = text[i];
            }
            ++i;
            break;
        }
    }
}

std::int32_t TokenScanner::FindTagNameEnd(std::int32_t from) const {
    return FindFirstOf<u' ', u'\t', u'\n', u'\r', u'/', u'>'>(m_text, from, m_end);
}

std::int32_t TokenScanner::FindRunEnd(std::int32_t from) const {
    return FindFirstOf<u'<', u'>'>(m_text, from, m_end);
}

std::int32_t TokenScanner::FindQuote(std::int32_t from, char16_t quote) const {
    return quote == u'"' ? FindFirstOf<u'"'>(m_text, from, m_end)
                         : FindFirstOf<u'\''>(m_text, from, m_end);
}

bool TokenScanner::EndsEmptyElement(std::int32_t closing) const {
    // "/>" ends an empty element when the '/' follows the name directly, whitespace or a
    // quote; in <a b=x/> the '/' belongs to the unquoted value.
    const std::int32_t slash = closing - 1;
    if (m_text[slash] != u'/') {
        return false;
    }
    if (slash == m_nameEnd + 1) {
        return true;
    }
    const char16_t before = m_text[slash - 1];
    return Is(before, Space) || IsQuote(before);
}

bool TokenScanner::ReadName() {
    while (Is(m_text[m_position], Space)) {
        ++m_position;
    }
    m_nameStart = m_position;
    m_nameEnd = m_position - 1;
    if (m_text[m_position] == 0) {
        return false;
    }
    while (!Is(m_text[m_position], ReadNameEnd)) {
        ++m_position;
    }
    if (m_position == m_nameStart) {
        ++m_position; // a delimiter on its own is a name token
    }
    m_nameEnd = m_position - 1;
    return true;
}

bool TokenScanner::MatchName(TextArg name) const {
    return name == nullptr || MatchName(std::u16string_view(name));
}

bool NameMatcher::RestMatchesAt(std::int32_t position) const {
    // The name token ends at its first delimiter (a tag name starts with a name
    // character), and up to there it must agree with the name.
    // The name's own NUL counts as a tail, and no delimiter matches it.
    const char16_t* const token = m_text + position;
    for (std::size_t k = 1;; ++k) {
        const char16_t unit = token[k];
        if (Is(unit, ReadNameEnd)) {
            return TokenScanner::IsNameTail(m_name[k]);
        }
        if (unit != m_name[k]) {
            return false;
        }
    }
}

} // namespace ferrow
