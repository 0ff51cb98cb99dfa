#include "ui/PlatformServices.h"

#include <clocale>

namespace ferrow {

void SystemPlatformServices::StartSession() {
    std::setlocale(LC_ALL, "");
}

// Sockets need no start-up here, and COM and the common controls do not exist.
void SystemPlatformServices::StartSockets() {}

void SystemPlatformServices::StopSockets() {}

void SystemPlatformServices::StopSession() {}

} // namespace ferrow
