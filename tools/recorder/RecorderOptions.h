#pragma once

#include <string>

namespace ferrow::recorder {

// A deliberate fault in the replies, for tests of the receiving side.
enum class Fault {
    None,
    NoSignature, // the first 8 bytes are not the signature
    Oversize,    // a datagram larger than a reader takes (see oversizeBytes)
    Truncated,   // the XML stops inside the "XNR" element
    NulInside,   // a zero byte inside the "XNR" element
    WrongRoot,   // the five children under another root
    DuplicateIp, // every recorder played gives the same IP text
    Chatty,      // after the first probe, keeps sending a reply every gap until stopped
};

// A deliberate fault in the ONVIF answers, for tests of the searching side.
enum class OnvifFault {
    None,
    NotXml,          // the answer is text that is no XML
    NotProbeMatches, // a well-formed SOAP message whose Body holds a Hello instead
    Oversize,        // a well-formed ProbeMatches padded to 64,000 bytes
    ManyMatches,     // as many ProbeMatch elements as one datagram holds, one IP each
    Flood,           // after a probe, answers it again every 20 ms until stopped
};

// The ONVIF device played beside (or instead of) the recorders: it answers WS-Discovery
// probes on UDP port 3702.
struct OnvifOptions {
    bool enabled = false; // --onvif or --onvif-only
    bool only = false;    // --onvif-only: nothing answers on the discovery port
    std::string name;     // the name scope; empty: the manufacture text
    std::string hardware; // the hardware scope; empty: the model text
    std::string mac;      // the MacAddress scope; empty: none
    std::string xaddrs;   // whitespace-separated URLs; empty: the device service on the address
    int delayMs = 0;      // before answering a probe
    bool soap11 = false;  // answers in a SOAP 1.1 envelope rather than 1.2
    OnvifFault fault = OnvifFault::None;
};

struct RecorderOptions {
    std::string address; // the recorder's own IPv4 address; replies leave from it
    std::string manufacture = "Ferrow";
    std::string model = "NVR-1";
    std::string ip;  // empty: the own address
    std::string mac; // empty: the hardware address of the interface holding the address
    std::string httpPort = "80";
    int count = 1;   // recorders played: one reply each, with distinct IP texts
    int repeat = 1;  // rounds of replies sent per probe
    int delayMs = 0; // before the first reply to a probe
    int gapMs = 0;   // between two replies
    int rate = 0;    // replies per second at most; 0: as fast as they can be sent
    int oversizeBytes = 1500;
    Fault fault = Fault::None;
    OnvifOptions onvif;
    std::string readyFile; // written once every port is bound
};

} // namespace ferrow::recorder
