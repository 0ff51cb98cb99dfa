#include "xml/MarkupScanner.h"

#include "xml/MarkupUnits.h"

namespace ferrow {

using namespace markup_units;

namespace {

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

TokenKind MarkupScanner::Scan() {
    Next next = AfterLt();
    while (next == Next::Seek || next == Next::DocTypeBody) {
        next = next == Next::Seek ? SeekTerminator() : DocTypeBody();
    }
    if (next == Next::Unterminated) {
        m_faults.push_back({u"unterminated_tag_syntax",
                            m_inDocType ? u"document_type" : KindWord(m_kind), m_start});
        m_kind = TokenKind::MarkupError;
    }
    return m_kind;
}

// The steps and their helpers are inline, so that Scan compiles to one function with
// SeekTerminator's loop inside: it runs on every tag with attributes of every reply.
inline MarkupScanner::Next MarkupScanner::AfterLt() {
    const char16_t unit = TakeUnit();
    if (unit == 0) {
        return Next::Unterminated;
    }
    if (Is(unit, NameChar)) {
        return ReadTagName(TokenKind::StartTag, {}, Quoting::AttributeValues, m_position - 1);
    }
    if (unit == u'/') {
        return ReadTagName(TokenKind::EndTag, {}, Quoting::None, m_position);
    }
    if (unit == u'?') {
        return ReadTagName(TokenKind::ProcessingInstruction, u"?", Quoting::None, m_position);
    }
    return unit == u'!' ? AfterBang() : Fault(u"first_tag_syntax");
}

inline MarkupScanner::Next MarkupScanner::AfterBang() {
    const char16_t unit = TakeUnit();
    if (unit == 0) {
        return Next::Unterminated;
    }
    if (unit == u'-') {
        return CompleteOpening(u'-', TokenKind::CommentToken, u"--", u"comment_tag_syntax");
    }
    if (m_inDocType) {
        // Markup declarations: <!ELEMENT, <!ATTLIST, <!ENTITY, <!NOTATION.
        return unit == u'E' || unit == u'A' || unit == u'N'
                   ? Expect(TokenKind::DocTypeToken, {}, Quoting::Literals)
                   : Fault(u"doctype_tag_syntax");
    }
    if (unit == u'[') {
        return CompleteOpening(u'C', TokenKind::CDataSection, u"]]", u"cdata_section_syntax");
    }
    if (unit == u'D') {
        m_inDocType = true;
        m_kind = TokenKind::DocTypeToken;
        return Next::DocTypeBody;
    }
    return Fault(u"exclamation_tag_syntax");
}

inline MarkupScanner::Next MarkupScanner::CompleteOpening(char16_t expected, TokenKind kind,
                                                          std::u16string_view head,
                                                          TextArg faultName) {
    const char16_t unit = TakeUnit();
    if (unit == 0) {
        return Next::Unterminated;
    }
    return unit == expected ? Expect(kind, head, Quoting::None) : Fault(faultName);
}

inline char16_t MarkupScanner::TakeUnit() {
    const char16_t unit = m_text[m_position];
    if (unit != 0) {
        ++m_position;
    }
    return unit;
}

inline MarkupScanner::Next MarkupScanner::ReadTagName(TokenKind kind, std::u16string_view head,
                                                      Quoting quoting, std::int32_t nameBegin) {
    Expect(kind, head, quoting);
    m_position = FindTagNameEnd(m_text, m_position, m_textEnd);
    if (m_text[m_position] == 0) {
        return Next::Unterminated;
    }
    // The delimiter itself is scanned next, as part of the tag.
    m_foundName = true;
    m_nameStart = nameBegin;
    m_nameEnd = m_position - 1;
    return Next::Seek;
}

inline MarkupScanner::Next MarkupScanner::SeekTerminator() {
    for (;; ++m_position) {
        if (m_openQuote != 0 && !SkipQuotedValue()) {
            return Next::Unterminated;
        }
        if (m_quoting == Quoting::None) {
            m_position = FindRunEnd(m_text, m_position, m_textEnd);
        }
        const char16_t unit = m_text[m_position];
        if (unit == 0) {
            return Next::Unterminated;
        }
        if (unit == u'>') {
            if (FollowsTerminatorHead()) {
                return Close();
            }
        } else if (unit == u'<') {
            if (m_kind == TokenKind::MarkupError) {
                // Malformed markup ends before the next markup.
                return Finish(m_kind, m_position);
            }
        } else if (m_quoting == Quoting::AttributeValues) {
            TrackAttributeValue(unit);
        } else if (m_quoting == Quoting::Literals && IsQuote(unit)) {
            m_openQuote = unit;
        }
    }
}

inline bool MarkupScanner::SkipQuotedValue() {
    // Inside a quoted value or literal only its own quote ends it.
    m_position = FindQuote(m_text, m_position, m_textEnd, m_openQuote);
    if (m_text[m_position] != m_openQuote) {
        return false;
    }
    m_openQuote = 0;
    ++m_position;
    return true;
}

inline MarkupScanner::Next MarkupScanner::DocTypeBody() {
    m_position = FindRunEnd(m_text, m_position, m_textEnd);
    if (m_text[m_position] == u'<') {
        ++m_position;
        return AfterLt();
    }
    if (m_text[m_position] == u'>') {
        return Finish(TokenKind::DocTypeToken, m_position + 1);
    }
    return Next::Unterminated;
}

inline MarkupScanner::Next MarkupScanner::Expect(TokenKind kind, std::u16string_view head,
                                                 Quoting quoting) {
    m_kind = kind;
    m_terminatorHead = head;
    m_quoting = quoting;
    m_afterEquals = false;
    m_openQuote = 0;
    return Next::Seek;
}

MarkupScanner::Next MarkupScanner::Fault(TextArg name) {
    m_faults.push_back({name, nullptr, m_start});
    return Expect(TokenKind::MarkupError, {}, Quoting::None);
}

inline MarkupScanner::Next MarkupScanner::Close() {
    if (m_inDocType) {
        ++m_position;
        return Next::DocTypeBody; // the declaration goes on to its own '>'
    }
    m_emptyElement = m_kind == TokenKind::StartTag && EndsEmptyElement();
    return Finish(m_kind, m_position + 1);
}

inline bool MarkupScanner::FollowsTerminatorHead() const {
    const auto headLength = static_cast<std::int32_t>(m_terminatorHead.size());
    // The look-back may reuse units of the opening, so "<!-->" is a comment.
    return headLength == 0 || (m_position > headLength + 1 &&
                               std::u16string_view(m_text + m_position - headLength,
                                                   m_terminatorHead.size()) == m_terminatorHead);
}

bool MarkupScanner::EndsEmptyElement() const {
    // "/>" ends an empty element when the '/' follows the name directly, whitespace or a
    // quote; in <a b=x/> the '/' belongs to the unquoted value.
    const std::int32_t slash = m_position - 1;
    if (m_text[slash] != u'/') {
        return false;
    }
    if (slash == m_nameEnd + 1) {
        return true;
    }
    const char16_t before = m_text[slash - 1];
    return Is(before, Space) || IsQuote(before);
}

inline void MarkupScanner::TrackAttributeValue(char16_t unit) {
    if (!m_afterEquals) {
        m_afterEquals = unit == u'=';
    } else if (IsQuote(unit)) {
        m_openQuote = unit;
        m_afterEquals = false;
    } else if (!Is(unit, Space)) {
        m_afterEquals = false; // an unquoted value, or a second '='
    }
}

inline MarkupScanner::Next MarkupScanner::Finish(TokenKind kind, std::int32_t end) {
    m_kind = kind;
    m_position = end;
    return Next::Done;
}

} // namespace ferrow
