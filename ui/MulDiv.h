#pragma once

namespace ferrow {

// a * b / c in 64 bits, rounded half away from zero, as the Windows MulDiv that the
// window layout rules are written with; -1 when c is 0.
int MulDiv(int a, int b, int c);

} // namespace ferrow
