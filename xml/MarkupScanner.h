#pragma once

#include "xml/TokenScanner.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace ferrow {

// Scans one piece of markup from its '<' for TokenScanner: anything but a tag with nothing
// but its name, which the token scanner takes itself. Each step of the scan is a function
// that reads on from the position: the units after '<' that tell the kind of markup, the
// tag name, the search for the terminator, a quoted value, and the body of a document type
// declaration, which goes back to the units after '<' for each piece of markup inside it.
class MarkupScanner {
public:
    // text as for TokenScanner, end where its NUL stands; faults found are appended to
    // faults.
    MarkupScanner(const char16_t* text, std::int32_t end, std::int32_t start,
                  std::vector<SyntaxFault>& faults)
        : m_text(text), m_textEnd(end), m_start(start), m_position(start + 1), m_faults(faults) {}

    // Scans up to the end of the markup, which End() then gives.
    TokenKind Scan();

    std::int32_t End() const { return m_position; }
    // A start tag that closes itself.
    bool IsEmptyElement() const { return m_emptyElement; }
    // Whether a tag name was read, and where the last one lies.
    bool FoundName() const { return m_foundName; }
    std::int32_t NameStart() const { return m_nameStart; }
    std::int32_t NameEnd() const { return m_nameEnd; }

private:
    // What a step leaves to do.
    enum class Next {
        Seek,         // seek the terminator of the markup (or of the markup inside a declaration)
        DocTypeBody,  // go on inside a document type declaration, outside its markup
        Done,         // the markup ends at the position
        Unterminated, // the text ends, at the position, inside the markup
    };
    enum class Quoting { None, AttributeValues, Literals };

    // The units after "<" and "<!".
    Next AfterLt();
    Next AfterBang();
    // The unit after "<!-" or "<![": expected opens markup of kind, which ends at head;
    // any other unit is the fault faultName.
    Next CompleteOpening(char16_t expected, TokenKind kind, std::u16string_view head,
                         TextArg faultName);
    // The markup is a tag of kind (as for Expect) whose name starts at nameBegin.
    Next ReadTagName(TokenKind kind, std::u16string_view head, Quoting quoting,
                     std::int32_t nameBegin);
    Next SeekTerminator();
    // Past the quoted value or literal the position stands in; false at the end of text.
    bool SkipQuotedValue();
    Next DocTypeBody();

    // The unit at the position, moved past unless it is the NUL at the end of text.
    char16_t TakeUnit();
    // The markup is known to be of kind, and ends at a '>' that head stands right before.
    Next Expect(TokenKind kind, std::u16string_view head, Quoting quoting);
    // Records a fault; the malformed markup is skipped up to the next '>' (or '<').
    Next Fault(TextArg name);
    // The '>' at the position ends the markup, or the markup inside a declaration.
    Next Close();
    bool FollowsTerminatorHead() const;
    bool EndsEmptyElement() const;
    // Watches for the quote that opens an attribute value, outside quotes in a start tag.
    void TrackAttributeValue(char16_t unit);
    Next Finish(TokenKind kind, std::int32_t end);

    const char16_t* m_text;
    std::int32_t m_textEnd;
    std::int32_t m_start;
    std::int32_t m_position;
    std::vector<SyntaxFault>& m_faults;

    // Markup whose kind is not yet known counts as malformed until it is.
    TokenKind m_kind = TokenKind::MarkupError;
    bool m_inDocType = false;
    std::u16string_view m_terminatorHead; // what must stand right before the final '>'
    Quoting m_quoting = Quoting::None;
    bool m_afterEquals = false;
    char16_t m_openQuote = 0;
    bool m_foundName = false;
    std::int32_t m_nameStart = 0;
    std::int32_t m_nameEnd = 0;
    bool m_emptyElement = false;
};

} // namespace ferrow
