#include "ui/AddressSearcher.h"

#include "ui/CMainFrame.h"

namespace ferrow {

void NetworkAddressSearcher::Search(const std::string& localAddress, CMainFrame& frame) {
    frame.SearchOnAddress(localAddress, &frame);
}

} // namespace ferrow
