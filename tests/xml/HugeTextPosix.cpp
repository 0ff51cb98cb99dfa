#include "HugeText.h"

#include <algorithm>
#include <sys/mman.h>
#include <unistd.h>

namespace ferrow::test {

HugeText::HugeText(std::size_t units) : m_bytes((units + 1) * sizeof(char16_t)) {
    const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    m_bytes = (m_bytes + kChunk - 1) / kChunk * kChunk;
    void* base =
        mmap(nullptr, m_bytes, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    if (base == MAP_FAILED) {
        return;
    }
    m_base = base;
    const int fd = memfd_create("huge-text", 0);
    if (fd < 0 || ftruncate(fd, kChunk) != 0) {
        return;
    }
    auto* chunk =
        static_cast<char16_t*>(mmap(nullptr, kChunk, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0));
    std::fill_n(chunk, kChunk / sizeof(char16_t), u'x');
    munmap(chunk, kChunk);
    auto* bytes = static_cast<char*>(m_base);
    for (std::size_t offset = 0; offset < m_bytes; offset += kChunk) {
        if (mmap(bytes + offset, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fd, 0) == MAP_FAILED) {
            close(fd);
            return;
        }
    }
    // The terminating NUL sits in a private page of its own at the end.
    const std::size_t nulByte = units * sizeof(char16_t);
    char* nulPage = bytes + nulByte / page * page;
    mmap(nulPage, page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    std::fill_n(reinterpret_cast<char16_t*>(nulPage), page / sizeof(char16_t), u'x');
    reinterpret_cast<char16_t*>(bytes)[units] = 0;
    close(fd);
    m_ready = true;
}

HugeText::~HugeText() {
    if (m_base != nullptr) {
        munmap(m_base, m_bytes);
    }
}

} // namespace ferrow::test
