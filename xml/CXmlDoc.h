#pragma once

#include "xml/ElementIndex.h"
#include "xml/OpenTagStack.h"
#include "xml/TextArg.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ferrow {

// An XML document held as one UTF-16 text and an index of its elements. It is read
// through a position (parent, current element, child) that name searches move, and
// element text is cut out of the document text on demand, references resolved.
class CXmlDoc {
public:
    // Longest text whose offsets fit in 32 bits with room for the terminating NUL.
    static constexpr std::size_t kMaxTextLength = 0x7FFFFFFE;

    CXmlDoc();
    CXmlDoc(const CXmlDoc&) = delete;
    CXmlDoc& operator=(const CXmlDoc&) = delete;

    // Replaces the text with a copy of text (null: the empty text), empties the
    // ResultLog, indexes the elements and returns whether the text is well-formed. A
    // text longer than kMaxTextLength is refused: the document is left empty.
    bool LoadText(TextArg text);
    // The same for a text of known length, which ends at its first NUL if it holds one;
    // the known length lets the NUL search skip ahead in blocks.
    bool LoadText(std::u16string_view text);
    // The same for a text the document takes over, without a copy: a datagram's text
    // can be as large as the datagram, twice.
    bool LoadText(std::u16string&& text);
    // No fault marked, a root element, and nothing beside it.
    bool CheckWellFormed() const;

    // Makes the next element at the current level named name (null or empty: any
    // name) current, with no child position. False, position unchanged, if none.
    bool FindElement(TextArg name);
    // Moves the child position to the next child of the current element named name
    // (null or empty: any name); makes the first element current first when there is
    // no current element. False, position unchanged, if none.
    bool FindChildElement(TextArg name);
    // The next child search starts again at the first child.
    void RewindChildren();
    // The text of the element at the child position.
    std::u16string ChildText() const;
    // The records of the last parse.
    const std::u16string& ResultLog() const { return m_results; }

    // Reading by element index, for readers that walk the elements themselves and match
    // them by local name: the tag name after its last ':', so that any prefix, or none,
    // matches. Index 0 is the document, whose child is the root element.
    //
    // The first child of parent after the child after (0: from the first child) whose
    // local name is localName; 0 when there is none.
    std::int32_t FindChildByLocalName(std::int32_t parent, std::u16string_view localName,
                                      std::int32_t after = 0) const;
    // The element text of entry i: empty for 0, start-tag-only elements and elements
    // with children; otherwise the content with references resolved, CDATA verbatim,
    // and comments, processing instructions and malformed markup left out.
    std::u16string ElementText(std::int32_t i) const;

    const std::u16string& Text() const { return m_text; }
    const ElementIndex& Index() const { return m_index; }
    std::int32_t Parent() const { return m_parent; }
    std::int32_t Current() const { return m_current; }
    std::int32_t Child() const { return m_child; }

private:
    bool LoadTextUpToNul(std::u16string_view source);
    bool Parse();
    // The tag name of entry i (not 0).
    std::u16string_view TagName(std::int32_t i) const;
    // The next sibling of current named name, or the first such child of parent when
    // current is 0; 0 when there is none.
    std::int32_t FindSibling(std::int32_t parent, std::int32_t current, TextArg name) const;
    // child is 0 or a child of current, and parent is current's parent.
    void SetPosition(std::int32_t parent, std::int32_t current, std::int32_t child);

    std::u16string m_text;
    std::u16string m_results;
    std::int32_t m_parent = 0;
    std::int32_t m_current = 0;
    std::int32_t m_child = 0;
    ElementIndex m_index;
    OpenTagStack m_openTags; // kept to reuse its storage across loads
};

} // namespace ferrow
