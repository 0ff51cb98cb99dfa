#include "discovery/ProbeMatchReader.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace ferrow {
namespace {

const Ipv4Address kSource = Ipv4Address::FromText("192.168.1.64");

// What a camera at 192.168.1.64 sends back: SOAP 1.2, prefixes everywhere, a header, an
// IPv6 address beside the IPv4 one and scopes of every kind.
const std::string kTypicalReply =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "<SOAP-ENV:Envelope xmlns:SOAP-ENV=\"http://www.w3.org/2003/05/soap-envelope\" "
    "xmlns:wsa=\"http://schemas.xmlsoap.org/ws/2004/08/addressing\" "
    "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\" "
    "xmlns:dn=\"http://www.onvif.org/ver10/network/wsdl\">"
    "<SOAP-ENV:Header><wsa:RelatesTo>urn:uuid:0b9e8d7c-6f5e-4d3c-8b2a-19f8e7d6c5b4</wsa:RelatesTo>"
    "<wsa:Action>http://schemas.xmlsoap.org/ws/2005/04/discovery/ProbeMatches</wsa:Action>"
    "<d:AppSequence MessageNumber=\"7\" InstanceId=\"3\"/></SOAP-ENV:Header>\r\n"
    "<SOAP-ENV:Body><d:ProbeMatches><d:ProbeMatch><wsa:EndpointReference><wsa:Address>"
    "urn:uuid:4d1f0c2a-58b3-11ee-8c99-0242ac120002</wsa:Address></wsa:EndpointReference>"
    "<d:Types>dn:NetworkVideoTransmitter</d:Types>\r\n"
    "<d:Scopes>onvif://www.onvif.org/type/video_encoder onvif://www.onvif.org/Profile/Streaming "
    "onvif://www.onvif.org/MacAddress/00:1a:2b:3c:4d:5e onvif://www.onvif.org/hardware/DS-7608NI "
    "onvif://www.onvif.org/location/city/hangzhou onvif://www.onvif.org/name/HIKVISION%20NVR"
    "</d:Scopes>\r\n<d:XAddrs>http://192.168.1.64/onvif/device_service "
    "http://[fe80::a00:27ff:fe4e:66a1]/onvif/device_service</d:XAddrs>"
    "<d:MetadataVersion>10</d:MetadataVersion>"
    "</d:ProbeMatch></d:ProbeMatches></SOAP-ENV:Body></SOAP-ENV:Envelope>\r\n";

std::string Envelope(const std::string& matches) {
    return "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" "
           "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"><s:Body>"
           "<d:ProbeMatches>" +
           matches + "</d:ProbeMatches></s:Body></s:Envelope>";
}

std::string Match(const std::string& xaddrs, const std::string& scopes = "") {
    return "<d:ProbeMatch><d:Scopes>" + scopes + "</d:Scopes><d:XAddrs>" + xaddrs +
           "</d:XAddrs></d:ProbeMatch>";
}

OnvifDevice Device(std::u16string ip, std::u16string port, std::u16string scheme = u"http",
                   std::u16string model = u"") {
    return {{u"", std::move(model), std::move(ip), u"", std::move(port)}, std::move(scheme)};
}

const OnvifDevice kSourceOnly = Device(u"192.168.1.64", u"80");

// The one device of a ProbeMatches with one match; an empty device when there is not one.
OnvifDevice ReadOne(const std::string& xaddrs, const std::string& scopes = "") {
    const auto devices = ReadProbeMatches(Envelope(Match(xaddrs, scopes)), kSource);
    return devices.size() == 1 ? devices.front() : OnvifDevice{};
}

std::u16string ModelOf(const std::string& hardwareScopeRest) {
    return ReadOne("", "onvif://www.onvif.org/hardware/" + hardwareScopeRest).record.Model;
}

TEST(ProbeMatchReaderTest, ReadsATypicalReplyAndOtherEnvelopesAlike) {
    const OnvifDevice typical{
        {u"HIKVISION NVR", u"DS-7608NI", u"192.168.1.64", u"00:1a:2b:3c:4d:5e", u"80"}, u"http"};
    EXPECT_EQ(ReadProbeMatches(kTypicalReply, kSource), std::vector{typical});
    EXPECT_EQ(ReadProbeMatches("\xEF\xBB\xBF" + kTypicalReply, kSource), std::vector{typical});

    const std::string match = "<ProbeMatch><Scopes>onvif://www.onvif.org/hardware/M1</Scopes>"
                              "<XAddrs>http://192.168.1.64:8000/</XAddrs></ProbeMatch>";
    const std::string discovery = "xmlns=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\"";
    const std::string soap11 =
        "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
        "<ProbeMatches " +
        discovery + ">" + match + "</ProbeMatches></soap:Body></soap:Envelope>";
    const std::string unprefixed =
        "<Envelope xmlns=\"http://www.w3.org/2003/05/soap-envelope\"><Header/><Body>"
        "<ProbeMatches " +
        discovery + ">" + match + "</ProbeMatches></Body></Envelope>";
    const auto expected = std::vector{Device(u"192.168.1.64", u"8000", u"http", u"M1")};
    EXPECT_EQ(ReadProbeMatches(soap11, kSource), expected);
    EXPECT_EQ(ReadProbeMatches(unprefixed, kSource), expected);
}

TEST(ProbeMatchReaderTest, EveryProbeMatchBecomesADeviceInOrder) {
    EXPECT_EQ(ReadProbeMatches(Envelope(Match("http://10.0.0.70/") +
                                        "<d:Other><d:ProbeMatch/></d:Other><d:ProbeMatch/>" +
                                        Match("https://10.0.0.71/")),
                               kSource),
              (std::vector{Device(u"10.0.0.70", u"80"), kSourceOnly,
                           Device(u"10.0.0.71", u"443", u"https")}));
    std::string many;
    while (many.size() < 60000) {
        many += "<d:ProbeMatch/>";
    }
    EXPECT_EQ(ReadProbeMatches(Envelope(many), kSource),
              std::vector(many.size() / 15, kSourceOnly));
}

TEST(ProbeMatchReaderTest, AddressOnTheSourceIsTakenElseTheFirstUsable) {
    EXPECT_EQ(ReadOne("http://10.0.0.5/ https://192.168.1.64:8443/b http://192.168.1.64/c"),
              Device(u"192.168.1.64", u"8443", u"https"));
    EXPECT_EQ(ReadOne("\n\t http://[::1]/a\r\n\thttp://10.0.0.5:81/b http://10.0.0.6/ \n"),
              Device(u"10.0.0.5", u"81"));
    EXPECT_EQ(ReadOne(""), kSourceOnly);
}

TEST(ProbeMatchReaderTest, PortIsTheUrlsOwnElseTheSchemes) {
    EXPECT_EQ(ReadOne("https://10.0.0.5/onvif"), Device(u"10.0.0.5", u"443", u"https"));
    EXPECT_EQ(ReadOne("HTTPS://10.0.0.5:8443/onvif"), Device(u"10.0.0.5", u"8443", u"https"));
    EXPECT_EQ(ReadOne("Http://10.0.0.5:08080?x=1"), Device(u"10.0.0.5", u"8080"));
    EXPECT_EQ(ReadOne("http://10.0.0.5:65535#top"), Device(u"10.0.0.5", u"65535"));
    EXPECT_EQ(ReadOne("https://10.0.0.5:/"), Device(u"10.0.0.5", u"443", u"https"));
}

TEST(ProbeMatchReaderTest, AddressesThatAreNoPlainIpv4HttpUrlAreNeverTaken) {
    // Were any of these taken, it would come first.
    const std::string unusable =
        "http://[fe80::1]/ http://[::ffff:10.0.0.9]:8080/ http://camera.local/ "
        "http://10.0.0.9.nip.io/ http://admin:pw@10.0.0.9/ http://admin@10.0.0.9:8080/ "
        "http://10.0.0.9:80@evil.example/ http://10.0.0.9\\@evil/ javascript://10.0.0.9/ "
        "ftp://10.0.0.9/ http:10.0.0.9/ httpx://10.0.0.9/ http://169.254.10.9/ "
        "http://127.0.0.1/ http://0.0.0.0/ http://239.255.255.250/ http://255.255.255.255/ "
        "http://10.0.0.9:0/ http://10.0.0.9:99999/ http://10.0.0.9:65536/ http://10.0.0.9:abc/ "
        "http://10.0.0.9:-80/ http://10.0.0.9:80:81/ http://010.0.0.9/ http://10.0.0.256/ "
        "http://10.0.0/ http://10.0.0.9.1/ http://%31%30.0.0.9/ http://１０.0.0.9/";
    EXPECT_EQ(ReadOne(unusable), kSourceOnly);
    EXPECT_EQ(ReadOne(unusable + " http://10.1.1.1:8000/"), Device(u"10.1.1.1", u"8000"));
}

TEST(ProbeMatchReaderTest, FirstScopeOfEachPrefixGivesMakerModelAndMac) {
    EXPECT_EQ(ReadOne("",
                      "onvif://www.onvif.org/name/Maker onvif://www.onvif.org/hardware/M-1 "
                      "onvif://www.onvif.org/hardware/M-2 onvif://www.onvif.org/name/Other "
                      "onvif://www.onvif.org/MacAddress/00%3A1A onvif://www.onvif.org/MacAddress/x")
                  .record,
              (DeviceRecord{u"Maker", u"M-1", u"192.168.1.64", u"00%3A1A", u"80"}));
    // Prefixes are matched as written, whole; a bare prefix gives an empty text.
    EXPECT_EQ(ReadOne("", "ONVIF://www.onvif.org/name/A onvif://www.onvif.org/Hardware/B "
                          "onvif://www.onvif.org/namex onvif://www.onvif.org/hardware "
                          "xonvif://www.onvif.org/name/C onvif://www.onvif.org/macaddress/D "
                          "onvif://www.onvif.org/name/"),
              kSourceOnly);
}

TEST(ProbeMatchReaderTest, MakerAndModelArePercentDecodedAsUtf8) {
    EXPECT_EQ(ModelOf("M%c3%bcller%E6%9D%B1%F0%9F%93%B7%20%2F8"), u"Müller\u6771\U0001F4F7 /8");
    EXPECT_EQ(ModelOf("Café%20Cam"), u"Café Cam");
    EXPECT_EQ(ModelOf("%00%1B%0A"), std::u16string(u"\0\x1B\n", 3));
    // A '%' that starts no escape stays, and the escapes around it are decoded.
    EXPECT_EQ(ModelOf("100%25%zz%4"), u"100%%zz%4");
    EXPECT_EQ(ModelOf("%%41%G1%"), u"%A%G1%");
    // Bytes that are not UTF-8 leave the whole text as it stood.
    EXPECT_EQ(ModelOf("A%20B%FF"), u"A%20B%FF");
    EXPECT_EQ(ModelOf("%C3%20%BC"), u"%C3%20%BC");
    EXPECT_EQ(ModelOf("%C3ü%BC"), u"%C3ü%BC");
    EXPECT_EQ(ModelOf("%ED%A0%80"), u"%ED%A0%80");
}

TEST(ProbeMatchReaderTest, TextComesAsTheXmlCarriesIt) {
    // References resolved, CDATA verbatim, control and format characters kept (the display
    // deals with those), bytes that are not UTF-8 U+FFFD.
    EXPECT_EQ(ModelOf("A&amp;B&#x202E;&#x7F;<![CDATA[<x>]]>"), u"A&B\u202E\x7F<x>");
    EXPECT_EQ(ModelOf("\x1B[2J\xE2\x80\xAE"), u"\x1B[2J\u202E");
    EXPECT_EQ(ModelOf("N\xFFV\xC3R"), u"N\uFFFDV\uFFFDR");
    EXPECT_EQ(ModelOf("\xC3%A9"), u"\uFFFD%A9");
    // Text inside a child element is not the element's own.
    EXPECT_EQ(ReadOne("<x>http://10.0.0.9/</x>", "<x>onvif://www.onvif.org/hardware/M</x>"),
              kSourceOnly);
}

TEST(ProbeMatchReaderTest, WhatIsNoProbeMatchesGivesNothing) {
    const std::string soap = "<s:Envelope xmlns:s=\"http://www.w3.org/2003/05/soap-envelope\" "
                             "xmlns:d=\"http://schemas.xmlsoap.org/ws/2005/04/discovery\">";
    const std::string matches =
        "<d:ProbeMatches>" + Match("http://10.0.0.9/") + "</d:ProbeMatches>";
    std::string cutByNul = Envelope(Match(""));
    cutByNul[cutByNul.size() / 2] = '\0';
    const std::string nothing[] = {
        "",
        "garbage \x01\xFF",
        soap + "<s:Body><d:Probe><d:Types>dn:NetworkVideoTransmitter</d:Types></d:Probe></s:Body>"
               "</s:Envelope>",
        soap + "<s:Body><d:Hello><d:XAddrs>http://10.0.0.9/</d:XAddrs></d:Hello></s:Body></"
               "s:Envelope>",
        Envelope(""),
        Envelope("<d:ProbeMatchX/>"),
        matches,
        soap + "<s:Header>" + matches + "</s:Header><s:Body/></s:Envelope>",
        soap + "<s:Body><x>" + matches + "</x></s:Body></s:Envelope>",
        soap + matches + "</s:Envelope>",
        Envelope(Match("")).substr(0, 150),
        Envelope(Match("")) + "<s:Envelope/>",
        cutByNul,
    };
    for (const std::string& datagram : nothing) {
        EXPECT_TRUE(ReadProbeMatches(datagram, kSource).empty()) << datagram;
    }
    EXPECT_EQ(ReadProbeMatches(Envelope(Match("")) + std::string(1, '\0') + "<junk", kSource),
              std::vector{kSourceOnly})
        << "what follows a NUL is not read";
}

} // namespace
} // namespace ferrow
