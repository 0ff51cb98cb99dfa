#include "ui/MulDiv.h"

#include <cstdint>

namespace ferrow {

int MulDiv(int a, int b, int c) {
    if (c == 0) {
        return -1;
    }
    std::int64_t numerator = std::int64_t{a} * b;
    std::int64_t denominator = c;
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    const std::int64_t half = denominator / 2;
    const std::int64_t quotient =
        numerator >= 0 ? (numerator + half) / denominator : -((-numerator + half) / denominator);
    return static_cast<int>(quotient);
}

} // namespace ferrow
