#pragma once

#include "discovery/DeviceRecord.h"

#include <string>

namespace ferrow {

// One device as an ONVIF ProbeMatch describes it: the record's five texts, and the scheme
// ("http" or "https") of the service address its IP and port were taken from, for its
// web page.
struct OnvifDevice {
    DeviceRecord record;
    std::u16string webScheme;

    friend bool operator==(const OnvifDevice&, const OnvifDevice&) = default;
};

} // namespace ferrow
