#include "xml/ElementIndex.h"

#include <algorithm>
#include <limits>

namespace ferrow {

bool ElementIndex::ReserveEntries(std::int32_t n) {
    if (n == 0) {
        // Half as many again as are in use; at least one more, and never past the
        // largest index an entry can have.
        const std::int64_t wanted = std::max<std::int64_t>(
            std::int64_t{m_nextFree} + m_nextFree / 2, std::int64_t{m_nextFree} + 1);
        n = static_cast<std::int32_t>(
            std::min<std::int64_t>(wanted, std::numeric_limits<std::int32_t>::max()));
    }
    if (m_capacity < n) {
        Grow(n);
    }
    return true;
}

void ElementIndex::Grow(std::int32_t n) {
    const std::int32_t old = m_capacity;
    if (n <= old) {
        return;
    }
    const std::int32_t last = old != 0 ? (old - 1) >> kSegmentShift : 0;
    std::int32_t target = (n - 1) >> kSegmentShift;

    // One new segment at most per call.
    if (target > last + 1) {
        target = last + 1;
        n = static_cast<std::int32_t>(std::min<std::int64_t>(
            std::int64_t{last + 2} * kSegmentSize, std::numeric_limits<std::int32_t>::max()));
    }

    if (target > 0 && target >= m_tableCapacity) {
        const std::int32_t tableCapacity = 2 * target + 4;
        auto table = std::make_unique<std::unique_ptr<ElementEntry[]>[]>(
            static_cast<std::size_t>(tableCapacity));
        const std::int32_t inUse = m_segments != nullptr ? SegmentsInUse() : 0;
        std::move(m_segments.get(), m_segments.get() + inUse, table.get());
        m_segments = std::move(table);
        m_tableCapacity = tableCapacity;
    }

    const std::int32_t entriesInLast = old - last * kSegmentSize;
    // The partial last segment is widened to a full one before a segment follows it.
    if (target > last && entriesInLast < kSegmentSize) {
        ResizeSegment(last, kSegmentSize, entriesInLast);
    }
    ResizeSegment(target, n - target * kSegmentSize, target == last ? entriesInLast : 0);
    m_capacity = n;
}

void ElementIndex::ResizeSegment(std::int32_t s, std::int32_t size, std::int32_t kept) {
    if (s == 0) {
        m_firstSegment.Enlarge(size, kept);
        return;
    }
    auto segment = std::make_unique_for_overwrite<ElementEntry[]>(static_cast<std::size_t>(size));
    std::copy_n(m_segments[s].get(), kept, segment.get());
    m_segments[s] = std::move(segment);
}

} // namespace ferrow
