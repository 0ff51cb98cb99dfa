#pragma once

#include "tools/recorder/RecorderOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace ferrow::recorder {

// Escapes the characters that cannot stand as they are in XML text.
std::string EscapeXmlText(std::string_view text);

// <name>text</name>, the text escaped.
std::string XmlElement(std::string_view name, std::string_view text);

// The IP text of the recorder played at position index: the base address counted up when
// the base is a dotted address, else the base text with "-index" after it (index > 0).
std::string NthIpText(const std::string& baseIp, int index);

// The datagrams that answer one probe, one per recorder played, faults applied. The
// options' ip and mac must already be filled in.
std::vector<std::string> BuildReplies(const RecorderOptions& options);

} // namespace ferrow::recorder
