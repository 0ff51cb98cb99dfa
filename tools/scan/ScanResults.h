#pragma once

#include "rows/DeviceCollection.h"
#include "rows/DeviceRow.h"

namespace ferrow {

// The rows of several searches merged: a device (known by its IP text, by the same rule
// as the window's list) is one row, kept from the first search that heard it, and merged
// with what the other protocol says of it.
using ScanResults = DeviceCollection<DeviceRow>;

} // namespace ferrow
