#include "tools/scan/ScanFrame.h"

#include "discovery/ReplyReader.h"
#include "platform/TextConversion.h"

namespace ferrow {

std::size_t ScanFrame::AddAdapterNode(std::u16string description, std::u16string macText) {
    return m_adapters.AddAdapter(std::move(description), std::move(macText));
}

void ScanFrame::AddAddressNode(std::size_t adapterNode, std::u16string addressText,
                               Ipv4Address netmask) {
    m_adapters.AddAddress(adapterNode, std::move(addressText), netmask);
}

void ScanFrame::OnDeviceReply(std::u16string replyText) {
    if (std::optional<DeviceRecord> record = ReadDeviceReply(replyText)) {
        m_results.Add(RowOfReply(std::move(*record), m_searchAddress, m_searchNetmask));
    }
}

void ScanFrame::OnOnvifDevice(OnvifDevice device) {
    m_results.Add(RowOfOnvifDevice(std::move(device), m_searchAddress, m_searchNetmask));
}

SearchEnd ScanFrame::SearchFrom(Ipv4Address localAddress, ProtocolSet protocols) {
    m_searchAddress = NarrowToUtf16(localAddress.Text());
    m_searchNetmask = m_adapters.NetmaskOf(localAddress);
    return SearchForDevices(
        localAddress, protocols,
        [this](std::u16string replyText) { OnDeviceReply(std::move(replyText)); },
        [this](OnvifDevice device) { OnOnvifDevice(std::move(device)); });
}

} // namespace ferrow
