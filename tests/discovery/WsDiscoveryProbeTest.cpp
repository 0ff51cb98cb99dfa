#include "discovery/WsDiscoveryProbe.h"

#include "discovery/WsDiscovery.h"
#include "platform/TextConversion.h"
#include "xml/CXmlDoc.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <initializer_list>
#include <regex>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace ferrow {
namespace {

std::u16string Wide(std::string_view text) {
    return Utf8ToUtf16(text);
}

// The text of the element at the end of a path of local names from the root, or "(none)".
std::u16string TextAt(const CXmlDoc& doc, std::initializer_list<std::u16string_view> path) {
    std::int32_t element = 0;
    for (const std::u16string_view name : path) {
        element = doc.FindChildByLocalName(element, name);
        if (element == 0) {
            return u"(none)";
        }
    }
    return doc.ElementText(element);
}

TEST(WsDiscoveryProbeTest, ProbeReadsBackWithItsAddressingAndTypes) {
    struct Case {
        OnvifProbeType type;
        std::string typesText;
        std::string namespaceDeclaration;
    };
    const Case cases[] = {
        {OnvifProbeType::NetworkVideoTransmitter, "dn:NetworkVideoTransmitter",
         "xmlns:dn=\"" + std::string(kOnvifNetworkNamespace) + "\""},
        {OnvifProbeType::Device, "tds:Device",
         "xmlns:tds=\"" + std::string(kOnvifDeviceNamespace) + "\""},
    };
    const std::string messageId = "urn:uuid:<odd> & id";
    for (const Case& probeCase : cases) {
        const std::string probe = MakeOnvifProbe(probeCase.type, messageId);
        EXPECT_LT(probe.size(), 1400u);
        EXPECT_NE(probe.find(probeCase.namespaceDeclaration), std::string::npos);
        EXPECT_NE(probe.find("xmlns:s=\"" + std::string(kSoap12Namespace) + "\""),
                  std::string::npos);

        CXmlDoc doc;
        ASSERT_TRUE(doc.LoadText(std::u16string_view(Wide(probe)))) << probe;
        EXPECT_EQ(TextAt(doc, {u"Envelope", u"Header", u"MessageID"}), Wide(messageId));
        EXPECT_EQ(TextAt(doc, {u"Envelope", u"Header", u"To"}), Wide(kWsDiscoveryTo));
        EXPECT_EQ(TextAt(doc, {u"Envelope", u"Header", u"Action"}), Wide(kProbeAction));
        EXPECT_EQ(TextAt(doc, {u"Envelope", u"Body", u"Probe", u"Types"}),
                  Wide(probeCase.typesText));
    }
}

TEST(WsDiscoveryProbeTest, MessageIdsAreFreshVersion4UuidsOnEveryThread) {
    const std::regex uuidForm(
        "urn:uuid:[0-9a-f]{8}-[0-9a-f]{4}-4[0-9a-f]{3}-[89ab][0-9a-f]{3}-[0-9a-f]{12}");
    std::vector<std::vector<std::string>> idsByThread(4);
    std::vector<std::thread> threads;
    for (auto& ids : idsByThread) {
        threads.emplace_back([&ids] {
            for (int i = 0; i < 500; ++i) {
                ids.push_back(NewMessageId());
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    std::set<std::string> distinct;
    for (const auto& ids : idsByThread) {
        for (const std::string& id : ids) {
            ASSERT_TRUE(std::regex_match(id, uuidForm)) << id;
            distinct.insert(id);
        }
    }
    EXPECT_EQ(distinct.size(), 4u * 500u);
}

} // namespace
} // namespace ferrow
