#include "NetworkNamespace.h"

namespace ferrow::test {

std::unique_ptr<NetworkNamespace> ConnectPeer(const VethOptions& options, std::string& error) {
    auto peer = NetworkNamespace::Create(error);
    if (peer && !ConnectVeth(*peer, options, error)) {
        return nullptr;
    }
    return peer;
}

} // namespace ferrow::test
