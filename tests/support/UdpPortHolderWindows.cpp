#include "LabClient.h"
#include "UdpPortHolder.h"

namespace ferrow::test {

// The lab holds the port as a native program would, in this program's namespace.
std::unique_ptr<UdpPortHolder> UdpPortHolder::Hold(std::uint16_t port, const NetworkNamespace* ns,
                                                   std::string& error) {
    const int id = lab::CallForId({"hold", std::to_string(port), lab::NamespaceWord(ns)}, error);
    return id != 0 ? std::unique_ptr<UdpPortHolder>(new UdpPortHolder(id)) : nullptr;
}

UdpPortHolder::~UdpPortHolder() {
    lab::Release(m_socket);
}

} // namespace ferrow::test
