#pragma once

// Searches of UTF-16 text that skip ordinary units eight at a time. The parse spends most
// of its time looking for the few units that end a run (a '<', a quote, a name's end), so
// these take SSE2 where the CPU has it (every x86-64) and go one unit at a time elsewhere.

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)
#define FERROW_CHARSCAN_SSE2 1
#include <emmintrin.h>
#endif

namespace ferrow {

namespace charscan_detail {

template <char16_t... Units> constexpr bool IsOneOf(char16_t unit) {
    return ((unit == Units) || ...);
}

#ifdef FERROW_CHARSCAN_SSE2
// A bit pair set for every unit of the eight in block that is one of Units.
template <char16_t... Units> inline unsigned MatchMask(__m128i block) {
    __m128i hits = _mm_setzero_si128();
    ((hits = _mm_or_si128(hits, _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(Units))))),
     ...);
    return static_cast<unsigned>(_mm_movemask_epi8(hits));
}

// mask is not 0; each unit owns two bits.
inline int FirstBitPair(unsigned mask) {
    return std::countr_zero(mask) / 2;
}
#endif

} // namespace charscan_detail

// The first position from `from` on whose unit is one of Units, or end when none is
// before it. The units from `from` up to end must be readable; nothing at or past end is
// read.
template <char16_t... Units>
inline std::int32_t FindFirstOf(const char16_t* text, std::int32_t from, std::int32_t end) {
#ifdef FERROW_CHARSCAN_SSE2
    for (; from + 8 <= end; from += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + from));
        if (const unsigned mask = charscan_detail::MatchMask<Units...>(block)) {
            return from + charscan_detail::FirstBitPair(mask);
        }
    }
#endif
    while (from < end && !charscan_detail::IsOneOf<Units...>(text[from])) {
        ++from;
    }
    return from;
}

} // namespace ferrow
