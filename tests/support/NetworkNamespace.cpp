#include "NetworkNamespace.h"

namespace ferrow::test {

std::unique_ptr<NetworkNamespace> ConnectPeer(const VethOptions& options, std::string& error) {
    auto peer = NetworkNamespace::Create(error);
    if (peer && !ConnectVeth(*peer, options, error)) {
        return nullptr;
    }
    return peer;
}

std::unique_ptr<NetworkNamespace>
EnterPrivateNetworkWithPeer(const std::string& local, const std::string& peer, std::string& error) {
    if (const std::string why = EnterPrivateNetworkNamespace(); !why.empty()) {
        error = "needs a private network namespace: " + why;
        return nullptr;
    }
    return ConnectPeer({"lan0", local + "/24", peer + "/24"}, error);
}

} // namespace ferrow::test
