#pragma once

#include "platform/AdapterSource.h"
#include "platform/TextConversion.h"

#include <cstdint>
#include <span>
#include <string>

namespace ferrow {

// Hardware address text: two upper-case hex digits per byte joined by ':'; no bytes give
// empty text.
std::u16string FormatMacText(std::span<const std::uint8_t> hardwareAddress);

// Mix-in of the frame that lists the adapters and their IPv4 addresses into it through
//   auto node = frame->AddAdapterNode(std::u16string description, std::u16string macText);
//   frame->AddAddressNode(node, std::u16string addressText, Ipv4Address netmask);
template <class T> class CNetImpl {
public:
    void EnumAdapters(T* frame) { EnumAdapters(frame, SystemAdapterSource{}); }

    void EnumAdapters(T* frame, const AdapterSource& source) {
        for (const AdapterInfo& adapter : source.ListAdapters()) {
            auto node = frame->AddAdapterNode(NarrowToUtf16(adapter.description),
                                              FormatMacText(adapter.hardwareAddress));
            for (const AdapterAddress& address : adapter.ipv4Addresses) {
                frame->AddAddressNode(node, NarrowToUtf16(address.text), address.netmask);
            }
        }
    }
};

} // namespace ferrow
