#pragma once

#include "discovery/SearchEnd.h"

#include <optional>
#include <string>
#include <string_view>

namespace ferrow {

// The reply text a datagram from the discovery port carries: its bytes up to the first
// zero byte, if any, converted to UTF-16 (ReplyTextToUtf16) with the signature left at the
// start. Nothing for an empty or oversize datagram or one without the signature. Counts
// the datagram in counts either way.
std::optional<std::u16string> AcceptDatagram(std::string_view bytes, bool oversize,
                                             SearchCounts& counts);

} // namespace ferrow
