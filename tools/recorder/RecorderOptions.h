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
    std::string readyFile; // written once the port is bound
};

} // namespace ferrow::recorder
