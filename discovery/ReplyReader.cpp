#include "discovery/ReplyReader.h"

#include "xml/CXmlDoc.h"

namespace ferrow {

namespace {

// The first child of that name among the children of the current element; the child
// position is cleared afterwards so that the next lookup starts at the first child again.
std::u16string ReadChild(CXmlDoc& document, const char16_t* name) {
    std::u16string text;
    if (document.FindChildElement(name)) {
        text = document.ChildText();
    }
    document.RewindChildren();
    return text;
}

} // namespace

std::optional<DeviceRecord> ReadDeviceReply(const std::u16string& replyText) {
    CXmlDoc document;
    if (!document.LoadText(std::u16string_view(replyText))) {
        return std::nullopt;
    }
    if (!document.FindElement(u"XNR")) {
        return std::nullopt;
    }
    DeviceRecord record;
    record.Manufacture = ReadChild(document, u"Manufacture");
    record.Model = ReadChild(document, u"Model");
    record.IP = ReadChild(document, u"IP");
    record.MAC = ReadChild(document, u"MAC");
    record.HttpPort = ReadChild(document, u"HttpPort");
    return record;
}

} // namespace ferrow
