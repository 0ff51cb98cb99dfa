#include "tools/recorder/ProbeReader.h"

#include "platform/TextConversion.h"
#include "rows/TerminalText.h"
#include "xml/CXmlDoc.h"

#include <algorithm>
#include <array>

namespace ferrow::recorder {

namespace {

constexpr std::u16string_view kWhitespace = u" \t\r\n";

std::u16string_view Trimmed(std::u16string_view text) {
    const std::size_t first = text.find_first_not_of(kWhitespace);
    if (first == std::u16string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kWhitespace) - first + 1);
}

// Types is a list of qualified names; a name's prefix is not resolved, its local name
// (after the last ':') decides.
bool TypesAskForThisDevice(std::u16string_view types) {
    constexpr std::array<std::u16string_view, 2> kAnsweredTypes{u"NetworkVideoTransmitter",
                                                                u"Device"};
    bool empty = true;
    std::size_t start = 0;
    while ((start = types.find_first_not_of(kWhitespace, start)) != std::u16string_view::npos) {
        const std::size_t end = std::min(types.find_first_of(kWhitespace, start), types.size());
        const std::u16string_view name = types.substr(start, end - start);
        const std::size_t colon = name.rfind(u':');
        const std::u16string_view localName =
            colon == std::u16string_view::npos ? name : name.substr(colon + 1);
        for (const std::u16string_view answered : kAnsweredTypes) {
            if (localName == answered) {
                return true;
            }
        }
        empty = false;
        start = end;
    }
    return empty;
}

} // namespace

std::optional<std::string> AnsweredProbeMessageId(std::string_view datagram) {
    CXmlDoc document;
    if (!document.LoadText(std::u16string_view(ReplyTextToUtf16(datagram)))) {
        return std::nullopt;
    }
    const std::int32_t envelope = document.FindChildByLocalName(0, u"Envelope");
    const std::int32_t header =
        envelope != 0 ? document.FindChildByLocalName(envelope, u"Header") : 0;
    const std::int32_t body = envelope != 0 ? document.FindChildByLocalName(envelope, u"Body") : 0;
    const std::int32_t probe = body != 0 ? document.FindChildByLocalName(body, u"Probe") : 0;
    if (header == 0 || probe == 0) {
        return std::nullopt;
    }
    const std::int32_t types = document.FindChildByLocalName(probe, u"Types");
    if (types != 0 && !TypesAskForThisDevice(document.ElementText(types))) {
        return std::nullopt;
    }
    const std::int32_t messageId = document.FindChildByLocalName(header, u"MessageID");
    const std::u16string messageIdText = messageId != 0 ? document.ElementText(messageId) : u"";
    if (Trimmed(messageIdText).empty()) {
        return std::nullopt;
    }
    return ToUtf8(Trimmed(messageIdText));
}

} // namespace ferrow::recorder
