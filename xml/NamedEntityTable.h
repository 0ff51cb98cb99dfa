#pragma once

#include <array>
#include <cstddef>

namespace ferrow {

inline constexpr std::size_t kNamedEntityBuckets = 130;

// Named character references: the HTML 4 character entities plus "apos". A name's
// bucket is the sum of its lower-case code units modulo kNamedEntityBuckets. A bucket
// holds entries back to back: one digit for the name length, the code point in four
// decimal digits, then the lower-case name. Where two names differ only in case, the
// capitalised one stands first, so a lookup that stops at the first match yields it.
extern const std::array<const char16_t*, kNamedEntityBuckets> kNamedEntityTable;

} // namespace ferrow
