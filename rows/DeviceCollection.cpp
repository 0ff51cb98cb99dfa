#include "rows/DeviceCollection.h"

namespace ferrow {

std::string RowLimitText(std::uint64_t droppedRows) {
    return "listed the first " + std::to_string(kMaxDevicesPerSearch) +
           " devices only, the most one list holds; replies from " + std::to_string(droppedRows) +
           " more were dropped";
}

} // namespace ferrow
