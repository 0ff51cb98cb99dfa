#pragma once

// A virtual X display (Xvfb) for the tests that need a real window system: Windows
// programs under Wine on Qt's windows platform, with real windows, menus and dialogs. The
// server takes the first free display number, listens on no TCP port, and ends with the
// object. Its socket is a file, which programs in other network namespaces reach too.
//
//   auto display = VirtualDisplay::Start(error);            // null when it cannot
//   wine->Command(exe, {}, {"DISPLAY=" + display->Name()});

#include <memory>
#include <string>

namespace ferrow::test {

class ChildProcess;

class VirtualDisplay {
public:
    // A new display, ready for clients. Null on failure, with the reason in error.
    static std::unique_ptr<VirtualDisplay> Start(std::string& error);

    VirtualDisplay(const VirtualDisplay&) = delete;
    VirtualDisplay& operator=(const VirtualDisplay&) = delete;
    ~VirtualDisplay();

    // The display's name for DISPLAY, ":N".
    const std::string& Name() const { return m_name; }

private:
    VirtualDisplay(std::unique_ptr<ChildProcess> server, std::string name);
    std::unique_ptr<ChildProcess> m_server;
    std::string m_name;
};

} // namespace ferrow::test
