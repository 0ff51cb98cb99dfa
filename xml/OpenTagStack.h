#pragma once

#include "xml/InlineOrHeapArray.h"

#include <cstdint>

namespace ferrow {

// An open start tag: its element and where its name lies in the document text.
struct OpenTag {
    std::int32_t element;
    std::int32_t nameStart;
    std::int32_t nameLength;
};

// The start tags that are open, innermost on top. It holds views into the text, not
// copies, and keeps its storage from one parse to the next. The first levels live inside
// the object, so a shallow document needs no heap for them.
class OpenTagStack {
public:
    OpenTagStack() = default;
    OpenTagStack(const OpenTagStack&) = delete;
    OpenTagStack& operator=(const OpenTagStack&) = delete;

    void Clear() { m_depth = 0; }
    void Push(const OpenTag& tag) {
        if (m_depth == m_capacity) {
            Grow();
        }
        m_tags.Data()[m_depth++] = tag;
    }
    void Pop() { --m_depth; }
    const OpenTag& Top() const { return m_tags.Data()[m_depth - 1]; }
    // Counted from 1 at the outermost; Depth() is the top.
    const OpenTag& At(std::int32_t position) const { return m_tags.Data()[position - 1]; }
    std::int32_t Depth() const { return m_depth; }

private:
    static constexpr std::int32_t kInlineDepth = 16;

    void Grow() {
        m_capacity *= 2;
        m_tags.Enlarge(m_capacity, m_depth);
    }

    InlineOrHeapArray<OpenTag, kInlineDepth> m_tags;
    std::int32_t m_depth = 0;
    std::int32_t m_capacity = kInlineDepth;
};

} // namespace ferrow
