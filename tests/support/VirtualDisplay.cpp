#include "VirtualDisplay.h"

#include "ChildProcess.h"

namespace ferrow::test {

VirtualDisplay::VirtualDisplay(std::unique_ptr<ChildProcess> server, std::string name)
    : m_server(std::move(server)), m_name(std::move(name)) {}

VirtualDisplay::~VirtualDisplay() = default;

std::unique_ptr<VirtualDisplay> VirtualDisplay::Start(std::string& error) {
    // With -displayfd, Xvfb picks a free display number itself and writes it, once it
    // takes clients, to the descriptor given: here its standard output.
    auto server = ChildProcess::Start(
        {"Xvfb", "-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "1280x800x24"}, nullptr,
        error);
    if (!server) {
        return nullptr;
    }
    const auto number = server->NextLine(std::chrono::seconds(30));
    if (!number || number->empty()) {
        error = "Xvfb did not start (is the xvfb package installed?)";
        return nullptr;
    }
    return std::unique_ptr<VirtualDisplay>(new VirtualDisplay(std::move(server), ":" + *number));
}

} // namespace ferrow::test
