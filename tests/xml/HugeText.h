#pragma once

// A NUL-terminated UTF-16 text of more units than 32-bit offsets can address, made of one
// read-only block of 'x' mapped over and over so that it costs no memory.

#include <cstddef>
#include <vector>

namespace ferrow::test {

class HugeText {
public:
    explicit HugeText(std::size_t units);
    HugeText(const HugeText&) = delete;
    HugeText& operator=(const HugeText&) = delete;
    ~HugeText();

    bool Ready() const { return m_ready; }
    const char16_t* Units() const { return static_cast<const char16_t*>(m_base); }

private:
    static constexpr std::size_t kChunk = 4u << 20; // a multiple of every page and granule
    std::size_t m_bytes;
    void* m_base = nullptr;
    std::vector<void*> m_views; // where views must be unmapped one by one
    bool m_ready = false;
};

} // namespace ferrow::test
