#include "ui/AddressSearcher.h"

namespace ferrow {

std::unique_ptr<RunningSearch> NetworkAddressSearcher::Start(Ipv4Address localAddress,
                                                             ProtocolSet protocols,
                                                             SearchObserver& observer) {
    return std::make_unique<DeviceSearch>(localAddress, protocols, observer);
}

} // namespace ferrow
