#include "ui/PlatformServices.h"

#include <windows.h>
#include <clocale>
#include <commctrl.h>
#include <objbase.h>

namespace ferrow {

void SystemPlatformServices::StartSession() {
    std::setlocale(LC_ALL, "");
    // Failures here do not stop start-up: the window works without them.
    static_cast<void>(::CoInitialize(nullptr));
    static_cast<void>(::DefWindowProcW(nullptr, 0, 0, 0));
    INITCOMMONCONTROLSEX controls{static_cast<DWORD>(sizeof(INITCOMMONCONTROLSEX)),
                                  ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&controls);
}

void SystemPlatformServices::StopSession() {
    ::CoUninitialize();
}

} // namespace ferrow
