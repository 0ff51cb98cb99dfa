// ferrow-recorder's ONVIF device, probed from a socket of the test's own as Ferrow's search
// probes: each test in a private network namespace, the device in a peer namespace across a
// veth pair.
#include "discovery/WsDiscovery.h"
#include "platform/TextConversion.h"
#include "rows/TerminalText.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/NetworkNamespace.h"
#include "tests/support/UdpPortHolder.h"
#include "tests/tools/ProgramRun.h"
#include "xml/CXmlDoc.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <initializer_list>
#include <netinet/in.h>
#include <optional>
#include <poll.h>
#include <set>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrow {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* kOwnAddress = "10.62.0.1";
constexpr const char* kDeviceAddress = "10.62.0.2";
// Answers come within milliseconds; the bound leaves room for a loaded machine.
constexpr auto kAnswerTimeout = 10s;
constexpr std::string_view kAnonymousTo =
    "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous";

// A Probe as Ferrow's search sends it, for the given Types text; no Types element when
// types is nullopt, no MessageID when messageId is empty.
std::string Probe(std::string_view messageId, std::optional<std::string_view> types) {
    std::ostringstream probe;
    probe << R"(<?xml version="1.0" encoding="UTF-8"?><s:Envelope xmlns:s=")" << kSoap12Namespace
          << R"(" xmlns:a=")" << kWsAddressingNamespace << R"(" xmlns:d=")" << kWsDiscoveryNamespace
          << R"(" xmlns:dn=")" << kOnvifNetworkNamespace << R"(" xmlns:tds=")"
          << kOnvifDeviceNamespace << R"("><s:Header>)";
    if (!messageId.empty()) {
        probe << "<a:MessageID>" << messageId << "</a:MessageID>";
    }
    probe << "<a:To>" << kWsDiscoveryTo << "</a:To><a:Action>" << kProbeAction
          << "</a:Action></s:Header><s:Body><d:Probe>";
    if (types) {
        probe << "<d:Types>" << *types << "</d:Types>";
    }
    probe << "</d:Probe></s:Body></s:Envelope>";
    return probe.str();
}

struct Datagram {
    std::string bytes;
    std::string sourceAddress;
};

// A UDP socket bound to the test's own address on a system-chosen port that sends to the
// WS-Discovery group out of that address's interface (IP_MULTICAST_IF, TTL 1) and reads
// what comes back to it.
class ProbeSocket {
public:
    ~ProbeSocket() {
        if (m_socket >= 0) {
            ::close(m_socket);
        }
    }

    bool Open(const std::string& address, std::string& error) {
        m_socket = test::OpenUdpSocketIn(nullptr, error);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = ::inet_addr(address.c_str());
        const in_addr interfaceAddress = local.sin_addr;
        const int ttl = 1;
        if (m_socket < 0 ||
            ::bind(m_socket, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0 ||
            ::setsockopt(m_socket, IPPROTO_IP, IP_MULTICAST_IF, &interfaceAddress,
                         sizeof interfaceAddress) != 0 ||
            ::setsockopt(m_socket, IPPROTO_IP, IP_MULTICAST_TTL, &ttl, sizeof ttl) != 0) {
            error += std::string("probe socket: ") + std::strerror(errno);
            return false;
        }
        return true;
    }

    bool Send(std::string_view datagram) const {
        sockaddr_in group{};
        group.sin_family = AF_INET;
        group.sin_addr.s_addr = ::inet_addr(std::string(kWsDiscoveryGroup).c_str());
        group.sin_port = htons(kWsDiscoveryPort);
        return ::sendto(m_socket, datagram.data(), datagram.size(), 0,
                        reinterpret_cast<const sockaddr*>(&group),
                        sizeof group) == static_cast<ssize_t>(datagram.size());
    }

    // The next datagram, or nothing when none comes in time.
    std::optional<Datagram> Next(std::chrono::milliseconds timeout) const {
        pollfd entry{m_socket, POLLIN, 0};
        if (::poll(&entry, 1, static_cast<int>(timeout.count())) != 1) {
            return std::nullopt;
        }
        std::string buffer(65536, '\0');
        sockaddr_in from{};
        socklen_t fromLength = sizeof from;
        const ssize_t length = ::recvfrom(m_socket, buffer.data(), buffer.size(), 0,
                                          reinterpret_cast<sockaddr*>(&from), &fromLength);
        if (length < 0) {
            return std::nullopt;
        }
        buffer.resize(static_cast<std::size_t>(length));
        return Datagram{std::move(buffer), ::inet_ntoa(from.sin_addr)};
    }

private:
    int m_socket = -1;
};

// An answer read as an XML document, its elements found by local name.
class Answer {
public:
    explicit Answer(const std::string& bytes)
        : m_wellFormed(m_document.LoadText(std::u16string_view(ReplyTextToUtf16(bytes)))) {}

    bool WellFormed() const { return m_wellFormed; }

    // The element at the path of local names below the document; 0 when there is none.
    std::int32_t Find(std::initializer_list<std::u16string_view> path) const {
        std::int32_t element = 0;
        for (const std::u16string_view localName : path) {
            element = m_document.FindChildByLocalName(element, localName);
            if (element == 0) {
                break;
            }
        }
        return element;
    }

    // The UTF-8 text of the element at the path (empty when there is none).
    std::string Text(std::initializer_list<std::u16string_view> path) const {
        return ToUtf8(m_document.ElementText(Find(path)));
    }
    std::string HeaderText(std::u16string_view localName) const {
        return Text({u"Envelope", u"Header", localName});
    }
    std::string MatchText(std::u16string_view localName) const {
        return Text({u"Envelope", u"Body", u"ProbeMatches", u"ProbeMatch", localName});
    }

private:
    CXmlDoc m_document;
    bool m_wellFormed;
};

std::vector<std::string> SplitWords(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> words;
    for (std::string word; stream >> word;) {
        words.push_back(word);
    }
    return words;
}

bool Contains(const std::string& text, std::string_view fragment) {
    return text.find(fragment) != std::string::npos;
}

class OnvifDevice : public ::testing::Test {
protected:
    void SetUp() override {
        FERROW_ENTER_PRIVATE_NETWORK();
        if (test::RecorderPath().empty()) {
            GTEST_SKIP() << "ferrow-recorder was not built";
        }
        std::string error;
        m_peer = test::ConnectPeer(
            {"lan0", std::string(kOwnAddress) + "/24", std::string(kDeviceAddress) + "/24"}, error);
        ASSERT_TRUE(m_peer) << error;
        ASSERT_TRUE(m_probes.Open(kOwnAddress, error)) << error;
    }

    // Starts ferrow-recorder on the device's address with the options; stops the one before.
    void StartDevice(const std::vector<std::string>& options) {
        m_device.reset();
        std::vector<std::string> arguments{"--address", kDeviceAddress};
        arguments.insert(arguments.end(), options.begin(), options.end());
        std::string error;
        m_device = test::ChildProcess::StartRecorder(arguments, m_peer.get(), error);
        ASSERT_TRUE(m_device) << error;
    }

    std::unique_ptr<test::NetworkNamespace> m_peer;
    ProbeSocket m_probes;
    std::unique_ptr<test::ChildProcess> m_device; // stopped before the peer goes
};

TEST_F(OnvifDevice, AnswersBothProbesOfASearchWithItsDescription) {
    ASSERT_NO_FATAL_FAILURE(
        StartDevice({"--onvif-only", "--manufacture", "M\xC3\xBCller & S\xC3\xB6hne", "--model",
                     "W\xC3\xA4"
                     "chter 16/4",
                     "--http-port", "8080", "--onvif-mac", "02:62:00:00:00:02"}));
    const std::vector<std::pair<std::string, std::string>> probes{
        {"urn:uuid:2f3c1a52-0000-4000-8000-000000000001", "dn:NetworkVideoTransmitter"},
        {"urn:uuid:2f3c1a52-0000-4000-8000-000000000002", "tds:Device"}};
    for (const auto& [messageId, types] : probes) {
        ASSERT_TRUE(m_probes.Send(Probe(messageId, types)));
    }

    std::set<std::string> answerIds;
    std::set<std::string> endpoints;
    for (const auto& [probeId, types] : probes) {
        SCOPED_TRACE(types);
        const std::optional<Datagram> datagram = m_probes.Next(kAnswerTimeout);
        ASSERT_TRUE(datagram);
        EXPECT_EQ(datagram->sourceAddress, kDeviceAddress);
        EXPECT_TRUE(Contains(datagram->bytes, kSoap12Namespace));
        const Answer answer(datagram->bytes);
        ASSERT_TRUE(answer.WellFormed()) << datagram->bytes;
        EXPECT_EQ(answer.HeaderText(u"RelatesTo"), probeId);
        EXPECT_EQ(answer.HeaderText(u"Action"), kProbeMatchesAction);
        EXPECT_EQ(answer.HeaderText(u"To"), kAnonymousTo);
        answerIds.insert(answer.HeaderText(u"MessageID"));
        endpoints.insert(answer.Text({u"Envelope", u"Body", u"ProbeMatches", u"ProbeMatch",
                                      u"EndpointReference", u"Address"}));
        EXPECT_EQ(answer.MatchText(u"Types"), "dn:NetworkVideoTransmitter tds:Device");
        const std::vector<std::string> expectedScopes{
            "onvif://www.onvif.org/type/video_encoder",
            "onvif://www.onvif.org/name/M%C3%BCller%20&%20S%C3%B6hne",
            "onvif://www.onvif.org/hardware/W%C3%A4chter%2016%2F4",
            "onvif://www.onvif.org/location/lab",
            "onvif://www.onvif.org/MacAddress/02:62:00:00:00:02"};
        EXPECT_EQ(SplitWords(answer.MatchText(u"Scopes")), expectedScopes);
        EXPECT_EQ(answer.MatchText(u"XAddrs"), "http://10.62.0.2:8080/onvif/device_service");
        EXPECT_EQ(answer.MatchText(u"MetadataVersion"), "1");
    }
    // A fresh MessageID for each answer; one endpoint, a urn:uuid, for the device.
    EXPECT_EQ(answerIds.size(), 2u);
    for (const std::string& id : answerIds) {
        EXPECT_EQ(id.rfind("urn:uuid:", 0), 0u) << id;
    }
    ASSERT_EQ(endpoints.size(), 1u);
    EXPECT_EQ(endpoints.begin()->size(), std::string("urn:uuid:").size() + 36)
        << *endpoints.begin();
}

TEST_F(OnvifDevice, AnswersOnlyProbesForAVideoTransmitterOrADevice) {
    ASSERT_NO_FATAL_FAILURE(
        StartDevice({"--onvif-only", "--onvif-name", "Lumen", "--onvif-hardware", "LX 200",
                     "--onvif-xaddrs", "http://10.62.0.2/onvif/device_service https://[::1]/"}));
    // Each of these is ignored: any answer to one would come before the answers below.
    const std::vector<std::string> ignored{
        std::string("\x00\x01 no XML at all", 17), "<s:Envelope><s:Body><d:Probe>",
        Probe("urn:uuid:ignored-1", "tds:Display dn:Other"),
        Probe("", "dn:NetworkVideoTransmitter"),
        "<s:Envelope xmlns:s=\"" + std::string(kSoap12Namespace) +
            "\"><s:Header><a:MessageID>urn:uuid:ignored-2</a:MessageID></s:Header>"
            "<s:Body><d:Hello/></s:Body></s:Envelope>"};
    for (const std::string& datagram : ignored) {
        ASSERT_TRUE(m_probes.Send(datagram));
    }
    // Types by local name whatever the prefix, and a probe without Types.
    ASSERT_TRUE(m_probes.Send(Probe("urn:uuid:any-prefix", "x:NetworkVideoTransmitter")));
    ASSERT_TRUE(m_probes.Send(Probe("urn:uuid:no-types", std::nullopt)));
    ASSERT_TRUE(m_probes.Send(Probe("urn:uuid:empty-types", "")));

    for (const char* expected :
         {"urn:uuid:any-prefix", "urn:uuid:no-types", "urn:uuid:empty-types"}) {
        const std::optional<Datagram> datagram = m_probes.Next(kAnswerTimeout);
        ASSERT_TRUE(datagram) << expected;
        const Answer answer(datagram->bytes);
        EXPECT_EQ(answer.HeaderText(u"RelatesTo"), expected);
        const std::vector<std::string> expectedScopes{
            "onvif://www.onvif.org/type/video_encoder", "onvif://www.onvif.org/name/Lumen",
            "onvif://www.onvif.org/hardware/LX%20200", "onvif://www.onvif.org/location/lab"};
        EXPECT_EQ(SplitWords(answer.MatchText(u"Scopes")), expectedScopes);
        EXPECT_EQ(answer.MatchText(u"XAddrs"),
                  "http://10.62.0.2/onvif/device_service https://[::1]/");
    }
}

TEST_F(OnvifDevice, BesideTheRecorderAnswersInSoap11AfterItsDelay) {
    constexpr auto kDelay = 1500ms;
    ASSERT_NO_FATAL_FAILURE(
        StartDevice({"--onvif", "--soap11", "--onvif-delay", std::to_string(kDelay.count()),
                     "--manufacture", "Helix", "--model", "HX-16"}));
    const Clock::time_point sent = Clock::now();
    ASSERT_TRUE(m_probes.Send(Probe("urn:uuid:soap11", "dn:NetworkVideoTransmitter")));
    const std::optional<Datagram> datagram = m_probes.Next(kDelay + kAnswerTimeout);
    const Clock::duration waited = Clock::now() - sent;
    ASSERT_TRUE(datagram);
    EXPECT_GE(waited, kDelay);
    EXPECT_TRUE(Contains(datagram->bytes, kSoap11Namespace)) << datagram->bytes;
    EXPECT_FALSE(Contains(datagram->bytes, kSoap12Namespace)) << datagram->bytes;
    const Answer answer(datagram->bytes);
    EXPECT_EQ(answer.HeaderText(u"RelatesTo"), "urn:uuid:soap11");
    EXPECT_EQ(answer.MatchText(u"XAddrs"), "http://10.62.0.2:80/onvif/device_service");

    // The recorder still answers on port 2900.
    const test::ProgramRun scan = test::RunApart(
        {"env", "LC_ALL=C.UTF-8", FERROW_SCAN_PATH, "--from", kOwnAddress, "--format", "csv"});
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_TRUE(Contains(scan.out, "Helix,HX-16,10.62.0.2,")) << scan.out;
    // Both protocols stop on SIGTERM, at once.
    EXPECT_EQ(m_device->Stop(SIGTERM), 0);
}

TEST_F(OnvifDevice, ReadyOnlyOnceThePortsOfItsProtocolsAreBound) {
    std::string error;
    {
        // A camera leaves port 2900 alone.
        auto holder = test::UdpPortHolder::Hold(2900, m_peer.get(), error);
        ASSERT_TRUE(holder) << error;
        ASSERT_NO_FATAL_FAILURE(StartDevice({"--onvif-only"}));
        m_device.reset();
    }
    // Port 3702 held: the device that plays both never says it is ready.
    auto holder = test::UdpPortHolder::Hold(kWsDiscoveryPort, m_peer.get(), error);
    ASSERT_TRUE(holder) << error;
    auto device = test::ChildProcess::StartRecorder({"--address", kDeviceAddress, "--onvif"},
                                                    m_peer.get(), error);
    EXPECT_FALSE(device);
    EXPECT_TRUE(Contains(error, "exit status 1")) << error;
}

} // namespace
} // namespace ferrow
