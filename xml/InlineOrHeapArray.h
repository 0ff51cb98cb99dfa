#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace ferrow {

// The storage of an array that is usually small: up to InlineCount elements it lives
// inside the owning object and takes nothing from the heap; past that it moves to the
// heap. The owner keeps the count and the capacity and sets the elements. Neither copied
// nor moved, as Data() may point into the object itself.
template <class T, std::int32_t InlineCount> class InlineOrHeapArray {
public:
    InlineOrHeapArray() = default;
    InlineOrHeapArray(const InlineOrHeapArray&) = delete;
    InlineOrHeapArray& operator=(const InlineOrHeapArray&) = delete;

    T* Data() { return m_data; }
    const T* Data() const { return m_data; }

    // Makes room for capacity elements, keeping the first kept. A capacity is never below
    // an earlier one, so storage on the heap never goes back inside the object.
    void Enlarge(std::int32_t capacity, std::int32_t kept) {
        if (capacity <= InlineCount) {
            return; // still fits inside the object, where the elements already are
        }
        auto heap = std::make_unique_for_overwrite<T[]>(static_cast<std::size_t>(capacity));
        std::copy_n(m_data, kept, heap.get());
        m_heap = std::move(heap);
        m_data = m_heap.get();
    }

private:
    T m_inline[InlineCount];
    std::unique_ptr<T[]> m_heap;
    T* m_data = m_inline; // either of the two above
};

} // namespace ferrow
