#pragma once

#include "discovery/DeviceRecord.h"

#include <optional>
#include <string>

namespace ferrow {

// Reads one reply (its whole text, signature included) into a record: nothing when the
// text is not well-formed or its root element is not "XNR"; otherwise the first child of
// each of the five names, its text with references resolved, missing ones left empty.
std::optional<DeviceRecord> ReadDeviceReply(const std::u16string& replyText);

} // namespace ferrow
