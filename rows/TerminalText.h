#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ferrow {

// Field texts arrive as UTF-16 from the network; everything ferrow-scan prints is UTF-8.

// Converts to UTF-8. An unpaired surrogate cannot be encoded and becomes U+FFFD.
std::string ToUtf8(std::u16string_view text);

// Replaces control characters (C0, DEL, C1) with U+FFFD, so that a reply cannot move the
// cursor, clear the screen or break a table row when the text is shown on a terminal.
// Format characters (bidirectional overrides, zero-width characters, ...) become U+FFFD too,
// one per code point: they reorder or hide text on a terminal and break the table's columns.
// Unpaired surrogates are kept; ToUtf8 replaces them.
std::u16string ForTerminal(std::u16string_view text);

// Columns the text takes on a terminal: East Asian wide and fullwidth characters take 2,
// combining marks and zero-width characters 0, everything else 1.
std::size_t DisplayWidth(std::u16string_view text);

} // namespace ferrow
