#include "discovery/WsDiscoveryProbe.h"

#include "discovery/WsDiscovery.h"

#include <array>
#include <cstdint>
#include <random>

namespace ferrow {

namespace {

// A generator per thread, seeded from the system's entropy, so that ids need no lock.
std::mt19937_64& ThreadGenerator() {
    thread_local std::mt19937_64 generator = [] {
        std::random_device entropy;
        std::seed_seq seed{entropy(), entropy(), entropy(), entropy(),
                           entropy(), entropy(), entropy(), entropy()};
        return std::mt19937_64(seed);
    }();
    return generator;
}

// The message id goes into element text: the three characters that could end or break it
// are written as references.
void AppendEscaped(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        default:
            out += c;
        }
    }
}

} // namespace

std::string NewMessageId() {
    std::array<std::uint8_t, 16> bytes{};
    std::mt19937_64& generator = ThreadGenerator();
    for (std::size_t i = 0; i < bytes.size(); i += 8) {
        std::uint64_t random = generator();
        for (std::size_t j = 0; j < 8; ++j, random >>= 8) {
            bytes[i + j] = static_cast<std::uint8_t>(random);
        }
    }
    bytes[6] = static_cast<std::uint8_t>((bytes[6] & 0x0F) | 0x40); // version 4: random
    bytes[8] = static_cast<std::uint8_t>((bytes[8] & 0x3F) | 0x80); // the RFC 4122 variant

    constexpr char kHexDigits[] = "0123456789abcdef";
    std::string id = "urn:uuid:";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10) {
            id += '-';
        }
        id += kHexDigits[bytes[i] >> 4];
        id += kHexDigits[bytes[i] & 0x0F];
    }
    return id;
}

std::string MakeOnvifProbe(OnvifProbeType type, std::string_view messageId) {
    const bool transmitter = type == OnvifProbeType::NetworkVideoTransmitter;
    std::string probe;
    probe.reserve(1024);
    probe += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
             "<s:Envelope xmlns:s=\"";
    probe += kSoap12Namespace;
    probe += "\" xmlns:wsa=\"";
    probe += kWsAddressingNamespace;
    probe += "\" xmlns:d=\"";
    probe += kWsDiscoveryNamespace;
    probe += transmitter ? "\" xmlns:dn=\"" : "\" xmlns:tds=\"";
    probe += transmitter ? kOnvifNetworkNamespace : kOnvifDeviceNamespace;
    probe += "\"><s:Header><wsa:MessageID>";
    AppendEscaped(probe, messageId);
    probe += "</wsa:MessageID><wsa:To s:mustUnderstand=\"true\">";
    probe += kWsDiscoveryTo;
    probe += "</wsa:To><wsa:Action s:mustUnderstand=\"true\">";
    probe += kProbeAction;
    probe += "</wsa:Action></s:Header><s:Body><d:Probe><d:Types>";
    probe += transmitter ? "dn:NetworkVideoTransmitter" : "tds:Device";
    probe += "</d:Types></d:Probe></s:Body></s:Envelope>";
    return probe;
}

} // namespace ferrow
