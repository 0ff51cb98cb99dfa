#pragma once

#include "discovery/DeviceProtocol.h"
#include "discovery/DeviceRecord.h"
#include "discovery/OnvifDevice.h"
#include "platform/Ipv4Address.h"
#include "platform/Ipv4Network.h"

#include <string>

namespace ferrow {

// One device as a list shows it: the reply's fields, the local address whose search first
// heard it with that address's netmask, the protocols that answered for it, and the scheme
// of its web page (that of the reply its Http Port came from).
struct DeviceRow {
    DeviceRecord record;
    std::u16string localAddress;
    ProtocolSet protocols = DeviceProtocol::Udp2900;
    std::u16string webScheme = u"http";
    Ipv4Address localNetmask = {}; // 0.0.0.0 when unknown: every address counts as in its network

    friend bool operator==(const DeviceRow&, const DeviceRow&) = default;
    friend const std::u16string& DeviceIpText(const DeviceRow& row) { return row.record.IP; }
};

// The row of a port-2900 reply, and of an ONVIF device, heard from localAddress, whose
// netmask is localNetmask.
inline DeviceRow RowOfReply(DeviceRecord record, std::u16string localAddress,
                            Ipv4Address localNetmask) {
    return {std::move(record), std::move(localAddress), DeviceProtocol::Udp2900, u"http",
            localNetmask};
}
inline DeviceRow RowOfOnvifDevice(OnvifDevice device, std::u16string localAddress,
                                  Ipv4Address localNetmask) {
    return {std::move(device.record), std::move(localAddress), DeviceProtocol::Onvif,
            std::move(device.webScheme), localNetmask};
}

// Where a row's device stands against the network of the local address that heard it. A
// device outside that network answers the broadcast, yet its web page cannot open until
// one of the two gets an address in the other's network.
struct SubnetCheck {
    bool known = false; // both the IP text and the local address are dotted IPv4 addresses
    bool same = false;  // known, and the IP lies in the local address's network
    Ipv4Network local;  // the local address's network, by its netmask
    Ipv4Network device; // the IP's /24: a reply names no netmask
    bool Outside() const { return known && !same; }
};
SubnetCheck CheckLocalSubnet(const DeviceRow& row);

// Folds a later row of the same IP text into the listed one when it comes from a protocol
// the listed row has not heard yet: the listed row keeps its texts and takes the later
// row's only where its own are empty (the Http Port with its web scheme), and adds the
// later row's protocols. A later row of protocols already heard changes nothing, as the
// first reply of a protocol is the one kept. True when the listed row changed.
bool MergeLater(DeviceRow& listed, DeviceRow&& later);

} // namespace ferrow
