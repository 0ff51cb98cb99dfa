#pragma once

#include "discovery/DeviceProtocol.h"
#include "discovery/DeviceRecord.h"
#include "discovery/OnvifDevice.h"

#include <string>

namespace ferrow {

// One device as a list shows it: the reply's fields, the local address whose search first
// heard it, the protocols that answered for it, and the scheme of its web page (that of
// the reply its Http Port came from).
struct DeviceRow {
    DeviceRecord record;
    std::u16string localAddress;
    ProtocolSet protocols = DeviceProtocol::Udp2900;
    std::u16string webScheme = u"http";

    friend bool operator==(const DeviceRow&, const DeviceRow&) = default;
    friend const std::u16string& DeviceIpText(const DeviceRow& row) { return row.record.IP; }
};

// The row of a port-2900 reply, and of an ONVIF device, heard from localAddress.
inline DeviceRow RowOfReply(DeviceRecord record, std::u16string localAddress) {
    return {std::move(record), std::move(localAddress)};
}
inline DeviceRow RowOfOnvifDevice(OnvifDevice device, std::u16string localAddress) {
    return {std::move(device.record), std::move(localAddress), DeviceProtocol::Onvif,
            std::move(device.webScheme)};
}

// Folds a later row of the same IP text into the listed one when it comes from a protocol
// the listed row has not heard yet: the listed row keeps its texts and takes the later
// row's only where its own are empty (the Http Port with its web scheme), and adds the
// later row's protocols. A later row of protocols already heard changes nothing, as the
// first reply of a protocol is the one kept. True when the listed row changed.
bool MergeLater(DeviceRow& listed, DeviceRow&& later);

} // namespace ferrow
