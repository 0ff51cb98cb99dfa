#include "LabClient.h"
#include "ProbeCapture.h"

#include <cstdlib>

namespace ferrow::test {

std::unique_ptr<ProbeCapture> ProbeCapture::Open(const NetworkNamespace* ns, std::string& error) {
    const int id = lab::CallForId({"capture", lab::NamespaceWord(ns)}, error);
    return id != 0 ? std::unique_ptr<ProbeCapture>(new ProbeCapture(id)) : nullptr;
}

ProbeCapture::~ProbeCapture() {
    lab::Release(m_socket);
}

std::optional<CapturedDatagram> ProbeCapture::Next(std::chrono::milliseconds timeout) {
    std::string error;
    const auto answer =
        lab::Call({"next", std::to_string(m_socket), std::to_string(timeout.count())}, error);
    if (!answer || answer->size() < 5) {
        return std::nullopt;
    }
    CapturedDatagram datagram;
    datagram.bytes = (*answer)[0];
    datagram.sourceAddress = (*answer)[1];
    datagram.sourcePort = static_cast<std::uint16_t>(std::atoi((*answer)[2].c_str()));
    datagram.destinationAddress = (*answer)[3];
    datagram.ttl = std::atoi((*answer)[4].c_str());
    return datagram;
}

} // namespace ferrow::test
