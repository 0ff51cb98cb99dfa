#include "HugeText.h"

#include <windows.h>
#include <algorithm>
#include <memory>

namespace ferrow::test {

// A free range is found by reserving and releasing it, then views of one section of 'x'
// fill it; the last block is private memory that holds the terminating NUL.
HugeText::HugeText(std::size_t units) : m_bytes((units + 1) * sizeof(char16_t)) {
    m_bytes = (m_bytes + kChunk - 1) / kChunk * kChunk;
    const std::unique_ptr<void, decltype(&::CloseHandle)> section(
        ::CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                             static_cast<DWORD>(kChunk), nullptr),
        &::CloseHandle);
    void* const range = ::VirtualAlloc(nullptr, m_bytes, MEM_RESERVE, PAGE_NOACCESS);
    auto* fill =
        section
            ? static_cast<char16_t*>(::MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, kChunk))
            : nullptr;
    if (range == nullptr || fill == nullptr) {
        return;
    }
    ::VirtualFree(range, 0, MEM_RELEASE);
    std::fill_n(fill, kChunk / sizeof(char16_t), u'x');
    ::UnmapViewOfFile(fill);

    auto* bytes = static_cast<char*>(range);
    m_base = range;
    const std::size_t lastChunk = m_bytes - kChunk;
    for (std::size_t offset = 0; offset < lastChunk; offset += kChunk) {
        void* view = ::MapViewOfFileEx(section.get(), FILE_MAP_READ, 0, 0, kChunk, bytes + offset);
        if (view == nullptr) {
            return;
        }
        m_views.push_back(view);
    }
    auto* last = static_cast<char16_t*>(
        ::VirtualAlloc(bytes + lastChunk, kChunk, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (last == nullptr) {
        return;
    }
    std::fill_n(last, kChunk / sizeof(char16_t), u'x');
    reinterpret_cast<char16_t*>(bytes)[units] = 0;
    m_ready = true;
}

HugeText::~HugeText() {
    if (m_base == nullptr) {
        return;
    }
    for (void* view : m_views) {
        ::UnmapViewOfFile(view);
    }
    if (m_ready) {
        ::VirtualFree(static_cast<char*>(m_base) + (m_bytes - kChunk), 0, MEM_RELEASE);
    }
}

} // namespace ferrow::test
