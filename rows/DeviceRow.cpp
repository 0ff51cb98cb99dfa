#include "rows/DeviceRow.h"

namespace ferrow {
namespace {

void FillIfEmpty(std::u16string& listed, std::u16string&& later) {
    if (listed.empty()) {
        listed = std::move(later);
    }
}

} // namespace

bool MergeLater(DeviceRow& listed, DeviceRow&& later) {
    const ProtocolSet both = listed.protocols.With(later.protocols);
    if (both == listed.protocols) {
        return false;
    }
    DeviceRecord& kept = listed.record;
    FillIfEmpty(kept.Manufacture, std::move(later.record.Manufacture));
    FillIfEmpty(kept.Model, std::move(later.record.Model));
    FillIfEmpty(kept.MAC, std::move(later.record.MAC));
    // The scheme belongs to the port: the page is opened with both from one reply.
    if (kept.HttpPort.empty() && !later.record.HttpPort.empty()) {
        kept.HttpPort = std::move(later.record.HttpPort);
        listed.webScheme = std::move(later.webScheme);
    }
    listed.protocols = both;
    return true;
}

SubnetCheck CheckLocalSubnet(const DeviceRow& row) {
    const std::optional<Ipv4Address> ip = Ipv4Address::FromDottedQuad<char16_t>(row.record.IP);
    const std::optional<Ipv4Address> local =
        Ipv4Address::FromDottedQuad<char16_t>(row.localAddress);
    if (!ip || !local) {
        return {};
    }
    constexpr int kAssumedDevicePrefix = 24;
    const Ipv4Network localNetwork = Ipv4Network::OfNetmask(*local, row.localNetmask);
    return {true, localNetwork.Contains(*ip), localNetwork,
            Ipv4Network::OfPrefix(*ip, kAssumedDevicePrefix)};
}

} // namespace ferrow
