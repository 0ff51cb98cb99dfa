#include "xml/TokenScanner.h"

#include "xml/MarkupScanner.h"
#include "xml/MarkupUnits.h"

namespace ferrow {

using namespace markup_units;

inline TokenKind TokenScanner::Finish(NodeToken& token, TokenKind kind, std::int32_t end) {
    m_position = end;
    token.kind = kind;
    token.length = end - token.start;
    return kind;
}

TokenKind TokenScanner::NextToken(NodeToken& token) {
    const std::int32_t start = m_position;
    token.start = start;
    token.empty = false;
    token.results.clear();
    const char16_t first = m_text[start];
    if (first == 0) {
        return Finish(token, TokenKind::EndOfText, start);
    }
    if (first != u'<') {
        return ScanCharacterData(token);
    }
    // A tag with nothing but its name, the common case, is taken here at once; anything
    // else goes through the full markup scan.
    const char16_t second = m_text[start + 1];
    const bool endTag = second == u'/';
    if (endTag || Is(second, NameChar)) {
        const std::int32_t delimiter = FindTagNameEnd(m_text, start + 2, m_end);
        const bool emptyElement =
            !endTag && m_text[delimiter] == u'/' && m_text[delimiter + 1] == u'>';
        if (m_text[delimiter] == u'>' || emptyElement) {
            m_nameStart = endTag ? start + 2 : start + 1;
            m_nameEnd = delimiter - 1;
            token.empty = emptyElement;
            return Finish(token, endTag ? TokenKind::EndTag : TokenKind::StartTag,
                          delimiter + (emptyElement ? 2 : 1));
        }
    }
    return ScanMarkup(token);
}

TokenKind TokenScanner::ScanMarkup(NodeToken& token) {
    MarkupScanner markup(m_text, m_end, token.start, token.results);
    const TokenKind kind = markup.Scan();
    if (markup.FoundName()) {
        m_nameStart = markup.NameStart();
        m_nameEnd = markup.NameEnd();
    }
    token.empty = markup.IsEmptyElement();
    return Finish(token, kind, markup.End());
}

TokenKind TokenScanner::ScanCharacterData(NodeToken& token) {
    // Whitespace alone up to the next '<' or the end is a whitespace run; anything else
    // makes a text run, which from its second unit on ends before a '<' or just after a
    // '>'.
    std::int32_t i = token.start;
    if (Is(m_text[i], Space)) {
        while (Is(m_text[i], Space)) {
            ++i;
        }
        if (m_text[i] == u'<' || m_text[i] == 0) {
            return Finish(token, TokenKind::WhitespaceRun, i);
        }
    }
    i = FindRunEnd(m_text, i + 1, m_end);
    return Finish(token, TokenKind::TextRun, m_text[i] == u'>' ? i + 1 : i);
}

void TokenScanner::SkipToMarkup() {
    m_position = FindFirstOf<u'<'>(m_text, m_position, m_end);
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
