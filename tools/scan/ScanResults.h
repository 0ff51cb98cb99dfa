#pragma once

#include "discovery/DeviceCollection.h"
#include "discovery/DeviceRecord.h"

#include <string>

namespace ferrow {

// One recorder as ferrow-scan reports it: the reply's fields and the local address whose
// search first heard it.
struct ScanRow {
    DeviceRecord record;
    std::u16string localAddress;

    friend const std::u16string& DeviceIpText(const ScanRow& row) { return row.record.IP; }
};

// The rows of several searches merged: a recorder (known by its IP text, by the same rule
// as the window's list) is one row, kept from the first search that heard it.
using ScanResults = DeviceCollection<ScanRow>;

} // namespace ferrow
