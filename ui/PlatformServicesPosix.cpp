#include "ui/PlatformServices.h"

#include <clocale>

namespace ferrow {

void SystemPlatformServices::StartSession() {
    std::setlocale(LC_ALL, "");
}

// COM and the common controls do not exist here.
void SystemPlatformServices::StopSession() {}

} // namespace ferrow
