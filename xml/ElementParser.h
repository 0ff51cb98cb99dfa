#pragma once

#include "xml/ElementIndex.h"
#include "xml/OpenTagStack.h"
#include "xml/TokenScanner.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ferrow {

// Builds the element index of a text in one pass: one entry per start tag, end tags
// matched against the open start tags, unended elements repaired, faults recorded in the
// log and marked on the entries.
class ElementParser {
public:
    ElementParser(const std::u16string& text, ElementIndex& index, std::u16string& log,
                  OpenTagStack& openTags)
        : m_text(text), m_index(index), m_log(log), m_openTags(openTags) {}

    // Indexes the elements of the whole text under the entry base. Returns the first
    // element created, or 0 when there is none.
    std::int32_t ParseElements(std::int32_t base);

private:
    std::int32_t Innermost() const {
        return m_openTags.Depth() > 0 ? m_openTags.Top().element : m_base;
    }
    std::u16string_view NameOf(const OpenTag& tag) const {
        return {m_text.data() + tag.nameStart, static_cast<std::size_t>(tag.nameLength)};
    }

    // Where the end tag at `at` ends when it is "</name>" for the innermost open element,
    // the usual case, which closes it as a token would; 0 otherwise.
    std::int32_t EndOfInnermostEndTag(std::int32_t at) const;
    void CloseInnermost(std::int32_t start, std::int32_t end);
    void OpenElement(const NodeToken& token, const TokenScanner& scanner);
    // Links the new entry element in as the last child of parent, at level.
    void AppendChild(std::int32_t parent, std::int32_t element, std::uint32_t level);
    void CloseElement(const NodeToken& token, const TokenScanner& scanner);
    // Closes the open elements above keptDepth (at least one) without their end tags,
    // closedAt being where that happened.
    void CloseUnended(std::int32_t keptDepth, std::int32_t closedAt);
    // CloseUnended's steps: shrinks each element to its start tag and records it,
    // returning whether any had a fault inside; then moves the children of each up to
    // follow it, under the keeper.
    bool ShrinkUnended(std::int32_t keptDepth, std::int32_t closedAt);
    void LiftChildren(std::int32_t keptDepth, std::int32_t keeper);
    void MarkFault();
    // Records the faults of a malformed markup token.
    void RecordSyntaxFaults(const std::vector<SyntaxFault>& faults);
    void RecordFault(TextArg name, std::int32_t offset);

    const std::u16string& m_text;
    ElementIndex& m_index;
    std::u16string& m_log;
    OpenTagStack& m_openTags;
    std::int32_t m_base = 0;
    std::uint32_t m_baseLevel = 0;
    std::int32_t m_first = 0;
};

} // namespace ferrow
