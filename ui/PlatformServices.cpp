#include "ui/PlatformServices.h"

#include "platform/SocketApi.h"

namespace ferrow {

// Without sockets every search fails on its own and the list stays empty, so a failed
// start is not reported.
void SystemPlatformServices::StartSockets() {
    m_socketsStarted = socket_api::StartSocketLibrary();
}

void SystemPlatformServices::StopSockets() {
    if (m_socketsStarted) {
        socket_api::StopSocketLibrary();
        m_socketsStarted = false;
    }
}

} // namespace ferrow
