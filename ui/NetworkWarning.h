#pragma once

#include "rows/DeviceRow.h"

#include <QString>

namespace ferrow {

// What the window says of a row whose device stands outside the network of the local
// address that heard it (CheckLocalSubnet): both networks, and that the page opens only
// once one side has an address in the other's. Empty for every other row.
QString OtherNetworkWarning(const DeviceRow& row);

} // namespace ferrow
