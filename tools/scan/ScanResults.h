#pragma once

#include "discovery/DeviceCollection.h"
#include "discovery/DeviceRow.h"

namespace ferrow {

// The rows of several searches merged: a recorder (known by its IP text, by the same rule
// as the window's list) is one row, kept from the first search that heard it.
using ScanResults = DeviceCollection<DeviceRow>;

} // namespace ferrow
