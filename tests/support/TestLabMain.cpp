// ferrow_test_lab: runs a Windows test program under Wine inside a private network
// namespace of its own, and serves the program's requests for peers (TestLab.h).
//
//   ferrow_test_lab [--dll-path FOLDER]... [--virtual-display] PROGRAM.exe [ARGUMENTS...]
//
// Each --dll-path folder (of this machine) is where Windows looks for the DLLs the program
// loads, after the program's own folder: the window's suites take Qt's DLLs from there.
// --virtual-display gives the program a display of its own (Xvfb), for windows that must
// be real.
// The exit status is the program's; 125 when the lab itself could not run it. CTest uses
// it as the cross build's emulator, for listing the tests and for running each of them.
#include "ChildProcess.h"
#include "LabProtocol.h"
#include "NetworkNamespace.h"
#include "TestLab.h"
#include "VirtualDisplay.h"
#include "WineSession.h"

#include <iostream>
#include <string_view>

namespace {

// WINEPATH, Wine's addition to the DLL search path, naming this machine's folders through
// the drive that Wine maps to the root.
std::string WinePathOf(const std::vector<std::string>& folders) {
    std::string path = "WINEPATH=";
    for (const std::string& folder : folders) {
        path += (path.back() == '=' ? "Z:" : ";Z:") + folder;
    }
    return path;
}

} // namespace

int main(int argc, char** argv) {
    using namespace ferrow::test;
    constexpr int kLabFailed = 125;
    std::vector<std::string> dllFolders;
    bool virtualDisplay = false;
    int first = 1;
    for (; first < argc && std::string_view(argv[first]).starts_with("--"); ++first) {
        if (std::string_view(argv[first]) == "--virtual-display") {
            virtualDisplay = true;
        } else if (std::string_view(argv[first]) == "--dll-path" && first + 1 < argc) {
            dllFolders.emplace_back(argv[++first]);
        } else {
            break;
        }
    }
    if (first >= argc || std::string_view(argv[first]).starts_with("--")) {
        std::cerr << "usage: ferrow_test_lab [--dll-path FOLDER]... [--virtual-display] "
                     "PROGRAM.exe [ARGUMENTS...]\n";
        return kLabFailed;
    }
    if (const std::string why = EnterPrivateNetworkNamespace(); !why.empty()) {
        std::cerr << "ferrow_test_lab: Windows programs run here only inside a private network "
                     "namespace, and none could be had: "
                  << why << '\n';
        return kLabFailed;
    }
    std::string error;
    // The display outlives the Wine session, whose programs hold connections to it.
    std::unique_ptr<VirtualDisplay> display =
        virtualDisplay ? VirtualDisplay::Start(error) : nullptr;
    std::unique_ptr<TestLab> lab = !virtualDisplay || display ? TestLab::Start(error) : nullptr;
    std::unique_ptr<WineSession> wine = lab ? WineSession::Open(nullptr, error) : nullptr;
    if (!wine) {
        std::cerr << "ferrow_test_lab: " << error << '\n';
        return kLabFailed;
    }
    std::vector<std::string> environment{std::string(lab::kPortVariable) + "=" +
                                             std::to_string(lab->Port()),
                                         WinePathOf(dllFolders)};
    if (display) {
        environment.push_back("DISPLAY=" + display->Name());
    }
    const int status = RunProgram(
        wine->Command(argv[first], std::vector<std::string>(argv + first + 1, argv + argc),
                      environment),
        nullptr);
    if (status != 0) {
        // A failing test says why in its own output; this line covers the runs that leave
        // none, when Wine could not start the program or a signal ended Wine.
        std::cerr << "ferrow_test_lab: " << argv[first] << " under Wine ended with status "
                  << status << (status < 0 ? " (it could not be started)" : "") << '\n';
    }
    return status < 0 ? kLabFailed : status;
}
