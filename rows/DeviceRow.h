#pragma once

#include "discovery/DeviceRecord.h"

#include <string>

namespace ferrow {

// One recorder as a list shows it: the reply's fields and the local address whose search
// first heard it.
struct DeviceRow {
    DeviceRecord record;
    std::u16string localAddress;

    friend bool operator==(const DeviceRow&, const DeviceRow&) = default;
    friend const std::u16string& DeviceIpText(const DeviceRow& row) { return row.record.IP; }
};

} // namespace ferrow
