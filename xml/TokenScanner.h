#pragma once

#include "xml/TextArg.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ferrow {

enum class TokenKind : std::int32_t {
    EndTag = 0,                 // </name ...>
    StartTag = 1,               // <name ...> or <name .../>
    TextRun = 2,                // character data with a unit that is not whitespace
    WhitespaceRun = 4,          // character data of space, tab, LF and CR only
    CDataSection = 8,           // <![C ... ]]>
    ProcessingInstruction = 16, // <? ... ?>
    CommentToken = 32,          // <!-- ... -->
    DocTypeToken = 64,          // <!D ... >, internal subset included
    MarkupError = -1,           // malformed or unterminated markup
    EndOfText = -2,             // at the terminating NUL
};

// A syntax fault found inside one token, logged by the parse as a result record.
struct SyntaxFault {
    TextArg name;        // record name, e.g. u"first_tag_syntax"
    TextArg kindWord;    // "type" of an unterminated-markup record, else null
    std::int32_t offset; // where the markup starts
};

struct NodeToken {
    TokenKind kind = TokenKind::EndOfText;
    std::int32_t start = 0;
    std::int32_t length = 0;
    bool empty = false; // a start tag that closes itself
    std::vector<SyntaxFault> results;
};

// Cuts a NUL-terminated UTF-16 text into tokens and reads names. It keeps the
// current name token: the name of the last tag scanned, or the last name read.
class TokenScanner {
public:
    // text holds no NUL and has one right after it: a pointer converts, measured up to
    // its NUL. The searches run up to text.size(), where that NUL stands.
    TokenScanner(std::u16string_view text, std::int32_t position)
        : m_nameStart(position), m_nameEnd(position - 1), m_position(position),
          m_end(static_cast<std::int32_t>(text.size())), m_text(text.data()) {}

    // Scans one token from the position and leaves the position after it.
    TokenKind NextToken(NodeToken& token);
    // Moves the position to the next '<' or the end: past the text and whitespace runs
    // that NextToken would return from here.
    void SkipCharacterData() {
        if (m_text[m_position] != u'<' && m_text[m_position] != 0) {
            SkipToMarkup();
        }
    }
    // Skips whitespace and reads one name token, never empty; false at the end of text.
    bool ReadName();
    // Whether the current name token is the whole of name: name may go on only after
    // one of space, '=', '/', '[' or ']'. A null name is any name.
    bool MatchName(TextArg name) const;
    // The same for a name that ends where the view ends.
    bool MatchName(std::u16string_view name) const {
        // The name token must equal the start of name, and name may go on only after one
        // of the units of IsNameTail.
        const auto length = static_cast<std::size_t>(m_nameEnd - m_nameStart + 1);
        if (length > name.size()) {
            return false;
        }
        const char16_t* const token = m_text + m_nameStart;
        for (std::size_t k = 0; k < length; ++k) {
            if (token[k] != name[k]) {
                return false;
            }
        }
        return length == name.size() || IsNameTail(name[length]);
    }
    // The units after which a searched name may go on past the name token it matches (a
    // NUL ends a name as its end does).
    static constexpr bool IsNameTail(char16_t unit) {
        return unit == 0 || unit == u' ' || unit == u'=' || unit == u'/' || unit == u'[' ||
               unit == u']';
    }

    std::int32_t Position() const { return m_position; }
    void SetPosition(std::int32_t position) { m_position = position; }
    std::int32_t NameStart() const { return m_nameStart; }
    std::int32_t NameEnd() const { return m_nameEnd; }
    std::u16string_view Name() const {
        return {m_text + m_nameStart, static_cast<std::size_t>(m_nameEnd - m_nameStart + 1)};
    }

private:
    void SkipToMarkup();
    // Sets the token's kind and length for a token that ends at end, and moves there.
    TokenKind Finish(NodeToken& token, TokenKind kind, std::int32_t end);
    // Markup other than a bare start or end tag, from its '<'.
    TokenKind ScanMarkup(NodeToken& token);
    // A text or whitespace run, from its first unit.
    TokenKind ScanCharacterData(NodeToken& token);

    std::int32_t m_nameStart;
    std::int32_t m_nameEnd;
    std::int32_t m_position;
    std::int32_t m_end; // where the terminating NUL stands
    const char16_t* m_text;
};

// Matches tag names against one name as ReadName and then MatchName would, without
// moving a scanner: for the many candidates of a search, most of which differ in their
// first unit.
class NameMatcher {
public:
    // text as for TokenScanner; name neither null nor empty.
    NameMatcher(std::u16string_view text, TextArg name) : m_text(text.data()), m_name(name) {}

    // Whether the name token at position, where a tag name starts, matches.
    bool MatchesAt(std::int32_t position) const {
        return m_text[position] == m_name[0] && RestMatchesAt(position);
    }

private:
    bool RestMatchesAt(std::int32_t position) const;

    const char16_t* m_text;
    TextArg m_name;
};

} // namespace ferrow
