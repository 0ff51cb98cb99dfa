#include "ui/AddressSearcher.h"

namespace ferrow {

std::unique_ptr<RunningSearch> NetworkAddressSearcher::Start(Ipv4Address localAddress,
                                                             SearchObserver& observer) {
    return std::make_unique<DeviceSearch>(localAddress, observer);
}

} // namespace ferrow
