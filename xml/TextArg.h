#pragma once

namespace ferrow {

// A NUL-terminated UTF-16 text the callee only reads; null is allowed (for a name it
// means "any name", for a text the empty text).
using TextArg = const char16_t*;

} // namespace ferrow
