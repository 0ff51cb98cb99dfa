// ProbeMatches datagrams to device rows: ReadProbeMatches (UTF-8 to UTF-16, a fresh CXmlDoc,
// the choice of address and the scopes) against pugixml reading the same fields from the
// same bytes, elements matched by local name too. Two kinds of reply: a typical one of about
// 2 KB with one ProbeMatch, and one near the largest datagram with many. Run without
// arguments; Google Benchmark flags pass through.
#include "RateReport.h"
#include "discovery/ProbeMatchReader.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <pugixml.hpp>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace ferrow;

const Ipv4Address kSource = Ipv4Address::FromText("192.168.1.64");

// One ProbeMatch as a present-day camera or recorder writes it, about 1.2 KB.
std::string ProbeMatchElement(int device) {
    const std::string host =
        "192.168." + std::to_string(1 + device / 200) + "." + std::to_string(10 + device % 200);
    return "<d:ProbeMatch><wsa:EndpointReference><wsa:Address>"
           "urn:uuid:4d1f0c2a-58b3-11ee-8c99-0242ac12" +
           std::to_string(100000 + device) +
           "</wsa:Address></wsa:EndpointReference>"
           "<d:Types>dn:NetworkVideoTransmitter tds:Device</d:Types>"
           "<d:Scopes>onvif://www.onvif.org/type/video_encoder "
           "onvif://www.onvif.org/type/audio_encoder onvif://www.onvif.org/type/ptz "
           "onvif://www.onvif.org/Profile/Streaming onvif://www.onvif.org/Profile/G "
           "onvif://www.onvif.org/Profile/T onvif://www.onvif.org/location/country/china "
           "onvif://www.onvif.org/location/city/hangzhou "
           "onvif://www.onvif.org/MacAddress/00:1a:2b:3c:4d:" +
           std::to_string(10 + device % 90) +
           " onvif://www.onvif.org/hardware/DS-7608NI-K2%2F8P "
           "onvif://www.onvif.org/name/Network%20Video%20Recorder</d:Scopes>"
           "<d:XAddrs>http://[fe80::a00:27ff:fe4e:66a1]/onvif/device_service http://" +
           host +
           ":8000/onvif/device_service</d:XAddrs>"
           "<d:MetadataVersion>10</d:MetadataVersion></d:ProbeMatch>";
}

std::string ProbeMatches(int firstDevice, int devices) {
    std::string reply =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
        "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" "
        "xmlns:SOAP-ENC=\"http://www.w3.org/2003/05/soap-encoding\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\" "
        "xmlns:xsd=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
        "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" "
        "xmlns:dn=\"http://www.onvif.org/ver10/network/wsdl\" "
        "xmlns:tds=\"http://www.onvif.org/ver10/device/wsdl\">"
        "<SOAP-ENV:Header>"
        "<wsa:MessageID>urn:uuid:6a2b4c1e-0f3d-4e5a-9b7c-1d2e3f4a5b6c</wsa:MessageID>"
        "<wsa:RelatesTo>urn:uuid:0b9e8d7c-6f5e-4d3c-8b2a-19f8e7d6c5b4</wsa:RelatesTo>"
        "<wsa:To SOAP-ENV:mustUnderstand=\"true\">"
        "http://schemas.xmlsoap.org/ws/2004/08/addressing/role/anonymous</wsa:To>"
        "<wsa:Action SOAP-ENV:mustUnderstand=\"true\">"
        "http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches</wsa:Action>"
        "<d:AppSequence SOAP-ENV:mustUnderstand=\"true\" MessageNumber=\"68\" "
        "InstanceId=\"1460972484\"/></SOAP-ENV:Header>"
        "<SOAP-ENV:Body><d:ProbeMatches>";
    for (int device = firstDevice; device < firstDevice + devices; ++device) {
        reply += ProbeMatchElement(device);
    }
    return reply + "</d:ProbeMatches></SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";
}

// The fields of one ProbeMatch as the pugixml reader gives them, in UTF-8.
struct PeerDevice {
    std::string manufacture, model, ip, mac, httpPort, webScheme;
};

pugi::xml_node ChildByLocalName(pugi::xml_node parent, std::string_view localName,
                                pugi::xml_node after = {}) {
    for (pugi::xml_node child = after ? after.next_sibling() : parent.first_child(); child;
         child = child.next_sibling()) {
        const std::string_view name = child.name();
        const std::size_t colon = name.rfind(':');
        if (name.substr(colon == std::string_view::npos ? 0 : colon + 1) == localName) {
            return child;
        }
    }
    return {};
}

constexpr bool IsListSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

std::string_view NextListItem(std::string_view& rest) {
    std::size_t start = 0;
    while (start < rest.size() && IsListSpace(rest[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < rest.size() && !IsListSpace(rest[end])) {
        ++end;
    }
    const std::string_view item = rest.substr(start, end - start);
    rest.remove_prefix(end);
    return item;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'f') {
        return (c | 0x20) - 'a' + 10;
    }
    return -1;
}

// %XX escapes decoded to bytes; the text stays UTF-8 (not checked here).
std::string PercentDecoded(std::string_view text) {
    std::string decoded;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 &&
            HexValue(text[at + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[at + 1]) << 4 | HexValue(text[at + 2]));
            at += 2;
        } else {
            decoded += text[at];
        }
    }
    return decoded;
}

// The same choice as ReadProbeMatches for dotted IPv4 http and https addresses, without
// its checks of the host's digits and ranges.
void ReadAddress(std::string_view xaddrs, const std::string& sourceText, PeerDevice& device) {
    bool found = false;
    for (std::string_view url = NextListItem(xaddrs); !url.empty(); url = NextListItem(xaddrs)) {
        const bool https = url.starts_with("https://");
        if (!https && !url.starts_with("http://")) {
            continue;
        }
        url.remove_prefix(https ? 8 : 7);
        const std::string_view authority = url.substr(0, url.find_first_of("/?#"));
        const std::size_t colon = authority.find(':');
        const std::string_view host = authority.substr(0, colon);
        if (host.empty() || host.find_first_not_of("0123456789.") != std::string_view::npos) {
            continue;
        }
        if (!found || host == sourceText) {
            device.ip = host;
            device.httpPort = colon == std::string_view::npos ? (https ? "443" : "80")
                                                              : authority.substr(colon + 1);
            device.webScheme = https ? "https" : "http";
            found = true;
        }
        if (host == sourceText) {
            return;
        }
    }
    if (!found) {
        device = {"", "", sourceText, "", "80", "http"};
    }
}

class PeerProbeMatchReader {
public:
    std::vector<PeerDevice> Read(std::string_view datagram, const std::string& sourceText) {
        std::vector<PeerDevice> devices;
        if (!m_doc.load_buffer(datagram.data(), datagram.size(), pugi::parse_default,
                               pugi::encoding_utf8)) {
            return devices;
        }
        const pugi::xml_node probeMatches = ChildByLocalName(
            ChildByLocalName(ChildByLocalName(m_doc, "Envelope"), "Body"), "ProbeMatches");
        for (pugi::xml_node match = ChildByLocalName(probeMatches, "ProbeMatch"); match;
             match = ChildByLocalName(probeMatches, "ProbeMatch", match)) {
            PeerDevice& device = devices.emplace_back();
            ReadAddress(ChildByLocalName(match, "XAddrs").child_value(), sourceText, device);
            std::string_view scopes = ChildByLocalName(match, "Scopes").child_value();
            bool haveName = false, haveModel = false, haveMac = false;
            for (std::string_view scope = NextListItem(scopes); !scope.empty();
                 scope = NextListItem(scopes)) {
                const auto take = [&scope](bool& have, std::string_view prefix) {
                    const bool taken = !have && scope.starts_with(prefix);
                    have = have || taken;
                    return taken;
                };
                if (take(haveName, "onvif://www.onvif.org/name/")) {
                    device.manufacture = PercentDecoded(scope.substr(27));
                } else if (take(haveModel, "onvif://www.onvif.org/hardware/")) {
                    device.model = PercentDecoded(scope.substr(31));
                } else if (take(haveMac, "onvif://www.onvif.org/MacAddress/")) {
                    device.mac = scope.substr(33);
                }
            }
        }
        return devices;
    }

private:
    pugi::xml_document m_doc;
};

std::string Narrow(const std::u16string& text) {
    return std::string(text.begin(), text.end()); // the corpus is ASCII
}

// Both readers give the same rows for every datagram, or the figures compare nothing.
bool ReadersAgree(const std::vector<std::string>& datagrams) {
    PeerProbeMatchReader peer;
    const std::string sourceText = kSource.Text();
    for (const std::string& datagram : datagrams) {
        const auto ours = ReadProbeMatches(datagram, kSource);
        const auto theirs = peer.Read(datagram, sourceText);
        if (ours.empty() || ours.size() != theirs.size()) {
            return false;
        }
        for (std::size_t i = 0; i < ours.size(); ++i) {
            const DeviceRecord& record = ours[i].record;
            const PeerDevice& device = theirs[i];
            if (Narrow(record.Manufacture) != device.manufacture ||
                Narrow(record.Model) != device.model || Narrow(record.IP) != device.ip ||
                Narrow(record.MAC) != device.mac || Narrow(record.HttpPort) != device.httpPort ||
                Narrow(ours[i].webScheme) != device.webScheme) {
                return false;
            }
        }
    }
    return true;
}

void BenchFerrow(benchmark::State& state, const std::vector<std::string>* datagrams) {
    for (auto _ : state) {
        for (const std::string& datagram : *datagrams) {
            auto devices = ReadProbeMatches(datagram, kSource);
            benchmark::DoNotOptimize(devices);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * datagrams->size()));
}

void BenchPugixml(benchmark::State& state, const std::vector<std::string>* datagrams) {
    PeerProbeMatchReader reader;
    const std::string sourceText = kSource.Text();
    for (auto _ : state) {
        for (const std::string& datagram : *datagrams) {
            auto devices = reader.Read(datagram, sourceText);
            benchmark::DoNotOptimize(devices);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * datagrams->size()));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);

    // Typical: 64 replies of one device each, about 2 KB. Large: 4 replies of 70 devices, about
    // 60 KB, near the largest datagram.
    std::map<std::string, std::vector<std::string>> corpora;
    for (int device = 0; device < 64; ++device) {
        corpora["typical"].push_back(ProbeMatches(device, 1));
    }
    for (int reply = 0; reply < 4; ++reply) {
        corpora["large"].push_back(ProbeMatches(reply * 70, 70));
    }
    for (const auto& [name, datagrams] : corpora) {
        if (!ReadersAgree(datagrams)) {
            std::fprintf(stderr, "the readers disagree on the %s replies\n", name.c_str());
            return 1;
        }
        benchmark::RegisterBenchmark(("probematches/" + name + "/ferrow").c_str(), BenchFerrow,
                                     &datagrams);
        benchmark::RegisterBenchmark(("probematches/" + name + "/pugixml").c_str(), BenchPugixml,
                                     &datagrams);
    }

    ferrow::bench::RateCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    std::printf("\n%-10s %10s %18s %18s %22s\n", "replies", "bytes", "ferrow ns/reply",
                "pugixml ns/reply", "ferrow time / pugixml");
    const auto rate = [&collector](const std::string& name) {
        const auto found = collector.Rates().find(name);
        return found != collector.Rates().end() ? found->second : 0.0;
    };
    for (const auto& [name, datagrams] : corpora) {
        const double ours = rate("probematches/" + name + "/ferrow");
        const double theirs = rate("probematches/" + name + "/pugixml");
        if (ours > 0 && theirs > 0) {
            std::printf("%-10s %10zu %18.0f %18.0f %21.2fx\n", name.c_str(),
                        datagrams.front().size(), 1e9 / ours, 1e9 / theirs, theirs / ours);
        }
    }
    benchmark::Shutdown();
    return 0;
}
