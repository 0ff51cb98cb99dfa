#include "ui/AddressSearcher.h"

namespace ferrow {

std::unique_ptr<RunningSearch> NetworkAddressSearcher::Start(const std::string& localAddress,
                                                             SearchObserver& observer) {
    return std::make_unique<DeviceSearch>(localAddress, observer);
}

} // namespace ferrow
