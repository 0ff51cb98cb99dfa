#include "LabClient.h"
#include "NetworkNamespace.h"

#include <windows.h>

namespace ferrow::test {

std::string EnterPrivateNetworkNamespace() {
    if (!lab::Available()) {
        return "not started by ferrow_test_lab, which runs Windows programs under Wine inside "
               "a private network namespace";
    }
    return {};
}

bool RunningUnderWine() {
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::unique_ptr<NetworkNamespace> NetworkNamespace::Create(std::string& error) {
    const int id = lab::CallForId({"namespace"}, error);
    return id != 0 ? std::unique_ptr<NetworkNamespace>(new NetworkNamespace(id)) : nullptr;
}

NetworkNamespace::~NetworkNamespace() {
    lab::Release(m_descriptor);
}

bool ConnectVeth(const NetworkNamespace& peer, const VethOptions& options, std::string& error) {
    return lab::Call({"veth", lab::NamespaceWord(&peer), options.localName, options.localAddress,
                      options.peerAddress, options.localMac, options.peerMac, options.peerName},
                     error)
        .has_value();
}

} // namespace ferrow::test
