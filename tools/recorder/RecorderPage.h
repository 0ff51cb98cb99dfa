#pragma once

#include "tools/recorder/RecorderOptions.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ferrow::recorder {

// The TCP port an HttpPort text names: decimal digits only, 1 to 65535. Nothing for any
// other text (the deliberately odd ones that fault tests play).
std::optional<std::uint16_t> TcpPortOf(std::string_view httpPortText);

// Escapes the characters that cannot stand as they are in HTML text or a quoted attribute:
// & < > " and '.
std::string EscapeHtmlText(std::string_view text);

// The web page of the first recorder played: an HTML5 document in UTF-8 that names its
// Manufacture, Model, IP and MAC texts, read as the searching side reads a reply's bytes.
// The options' ip and mac must already be filled in.
std::string BuildRecorderPage(const RecorderOptions& options);

} // namespace ferrow::recorder
