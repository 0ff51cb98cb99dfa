#pragma once

#include "xml/InlineOrHeapArray.h"

#include <cstdint>
#include <memory>

namespace ferrow {

// Flags in the upper bits of ElementEntry::flagsAndLevel.
enum ElementFlag : std::uint32_t {
    FirstChild = 0x80000,   // created as the first child of its parent
    Unended = 0x100000,     // closed by the parse without a matching end tag
    ErrorInside = 0x200000, // a lone end tag or malformed markup met while innermost
    IllFormed = 0x800000,   // document entry only: the parse found a fault
};

// Widths of the packed fields; markup beyond them cannot be indexed.
inline constexpr std::int32_t kMaxStartTagLength = 0x3FFFFF;
inline constexpr std::int32_t kMaxEndTagLength = 0x3FF;
inline constexpr std::uint32_t kMaxLevel = 0xFFFF;

// One element: where its tags lie in the text and how it is linked. Entry 0 describes
// the document itself.
struct ElementEntry {
    std::int32_t start;          // offset of the '<' of the start tag
    std::int32_t length;         // through the '>' of the end tag (or of the start tag)
    std::uint32_t tagLengths;    // start-tag length in the low 22 bits, end-tag in the high 10
    std::uint32_t flagsAndLevel; // level in the low 16 bits, ElementFlag bits above
    std::int32_t parent;
    std::int32_t firstChild;
    std::int32_t nextSibling;
    std::int32_t previousSibling; // of the first child: the parent's last child

    std::int32_t StartTagLength() const {
        return static_cast<std::int32_t>(tagLengths & kMaxStartTagLength);
    }
    std::int32_t EndTagLength() const { return static_cast<std::int32_t>(tagLengths >> 22); }
    void SetTagLengths(std::int32_t startTag, std::int32_t endTag) {
        tagLengths =
            static_cast<std::uint32_t>(startTag) | (static_cast<std::uint32_t>(endTag) << 22);
    }
    std::uint32_t Level() const { return flagsAndLevel & kMaxLevel; }
    bool Has(ElementFlag flag) const { return (flagsAndLevel & flag) != 0; }
    void Set(ElementFlag flag) { flagsAndLevel |= flag; }
    void Clear(ElementFlag flag) { flagsAndLevel &= ~static_cast<std::uint32_t>(flag); }

    std::int32_t ContentStart() const { return start + StartTagLength(); }
    std::int32_t ContentLength() const { return length - StartTagLength() - EndTagLength(); }
    // Empty elements and elements repaired as unended: their content is empty.
    bool IsStartTagOnly() const { return StartTagLength() == length; }
};

// Segmented array of entries addressed by a 32-bit index. Segments hold 65,536 entries
// (the last may hold fewer); growth adds at most one segment at a time and never moves a
// full segment, so an entry keeps its index and links stay valid.
class ElementIndex {
public:
    static constexpr std::int32_t kSegmentShift = 16;
    static constexpr std::int32_t kSegmentSize = 1 << kSegmentShift;

    ElementIndex() = default;
    ElementIndex(const ElementIndex&) = delete;
    ElementIndex& operator=(const ElementIndex&) = delete;

    // No bounds check: callers pass 0 or an index below NextFree(). Nearly every index
    // lies in the first segment, which is reached without the table.
    ElementEntry& EntryAt(std::int32_t i) {
        return (i < kSegmentSize ? m_firstSegment.Data()
                                 : m_segments[i >> kSegmentShift].get())[i & (kSegmentSize - 1)];
    }
    const ElementEntry& EntryAt(std::int32_t i) const {
        return (i < kSegmentSize ? m_firstSegment.Data()
                                 : m_segments[i >> kSegmentShift].get())[i & (kSegmentSize - 1)];
    }

    // Hands out entries from index 1 on again; entry 0 is the document entry.
    void ResetEntries() { m_nextFree = 1; }
    // The next index in increasing order, growing the storage first when it is full.
    // The entry's fields are left for the caller to set.
    std::int32_t NewEntry() {
        if (m_nextFree >= m_capacity) {
            ReserveEntries(0);
        }
        return m_nextFree++;
    }
    // Makes room for n entries (for 0: one and a half times the entries in use).
    bool ReserveEntries(std::int32_t n);
    // Raises the capacity towards n, by at most one new segment.
    void Grow(std::int32_t n);

    std::int32_t Capacity() const { return m_capacity; }
    std::int32_t NextFree() const { return m_nextFree; }

private:
    // A first segment this small lives inside the object: a small document's index then
    // takes nothing from the heap.
    static constexpr std::int32_t kInlineEntries = 32;

    std::int32_t SegmentsInUse() const { return ((m_capacity - 1) >> kSegmentShift) + 1; }
    // Gives segment s room for size entries, its first kept entries kept.
    void ResizeSegment(std::int32_t s, std::int32_t size, std::int32_t kept);

    InlineOrHeapArray<ElementEntry, kInlineEntries> m_firstSegment;
    // Segments from 1 on; slot 0 stays empty.
    std::unique_ptr<std::unique_ptr<ElementEntry[]>[]> m_segments;
    std::int32_t m_capacity = 0;
    std::int32_t m_tableCapacity = 0;
    std::int32_t m_nextFree = 1;
};

} // namespace ferrow
