#pragma once

#include "discovery/CNetImpl.h"
#include "discovery/CSearchXNRImpl.h"
#include "platform/Ipv4Address.h"
#include "tools/scan/AdapterListing.h"
#include "tools/scan/ScanResults.h"

#include <cstddef>
#include <string>

namespace ferrow {

// ferrow-scan's counterpart of the window's main frame: the same adapter enumeration and
// the same search call back into it, and it keeps what they deliver instead of showing it.
// The search runs on the caller's thread, which has nothing else to do meanwhile.
class ScanFrame final : public CNetImpl<ScanFrame> {
public:
    // Adapter enumeration callbacks.
    std::size_t AddAdapterNode(std::u16string description, std::u16string macText);
    void AddAddressNode(std::size_t adapterNode, std::u16string addressText, Ipv4Address netmask);

    // Search callbacks: one accepted port-2900 reply, read as the window reads it, and one
    // ONVIF device.
    void OnDeviceReply(std::u16string replyText);
    void OnOnvifDevice(OnvifDevice device);

    // Runs one search from the local address in the protocols; its rows join those of
    // earlier searches, merged by IP text as the window merges them. The rows carry the
    // address's netmask as the adapters listed it: enumerate them first.
    SearchEnd SearchFrom(Ipv4Address localAddress, ProtocolSet protocols);

    const AdapterListing& Adapters() const { return m_adapters; }
    const ScanResults& Results() const { return m_results; }

private:
    AdapterListing m_adapters;
    ScanResults m_results;
    std::u16string m_searchAddress; // local address of the search that is running
    Ipv4Address m_searchNetmask;    // and its netmask
};

} // namespace ferrow
