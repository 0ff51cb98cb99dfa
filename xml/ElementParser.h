#pragma once

#include "xml/ElementIndex.h"
#include "xml/TokenScanner.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ferrow {

// An open start tag: its element and where its name lies in the document text.
struct OpenTag {
    std::int32_t element;
    std::int32_t nameStart;
    std::int32_t nameLength;
};

// The start tags that are open, innermost on top. It holds views into the text, not
// copies, and keeps its storage from one parse to the next.
class OpenTagStack {
public:
    void Clear() { m_tags.clear(); }
    void Push(const OpenTag& tag) { m_tags.push_back(tag); }
    void Pop() { m_tags.pop_back(); }
    const OpenTag& Top() const { return m_tags.back(); }
    // Counted from 1 at the outermost; Depth() is the top.
    const OpenTag& At(std::int32_t position) const {
        return m_tags[static_cast<std::size_t>(position - 1)];
    }
    std::int32_t Depth() const { return static_cast<std::int32_t>(m_tags.size()); }

private:
    std::vector<OpenTag> m_tags;
};

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
        return std::u16string_view(m_text).substr(static_cast<std::size_t>(tag.nameStart),
                                                  static_cast<std::size_t>(tag.nameLength));
    }

    void OpenElement(const NodeToken& token, const TokenScanner& scanner);
    void CloseElement(const NodeToken& token, const TokenScanner& scanner);
    // Closes the open elements above keptDepth (at least one) without their end tags,
    // closedAt being where that happened.
    void CloseUnended(std::int32_t keptDepth, std::int32_t closedAt);
    void MarkFault();
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
