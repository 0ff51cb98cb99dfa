// ferrow_test_lab: runs a Windows test program under Wine inside a private network
// namespace of its own, and serves the program's requests for peers (TestLab.h).
//
//   ferrow_test_lab [--dll-path FOLDER]... PROGRAM.exe [ARGUMENTS...]
//
// Each --dll-path folder (of this machine) is where Windows looks for the DLLs the program
// loads, after the program's own folder: the window's suites take Qt's DLLs from there.
// The exit status is the program's; 125 when the lab itself could not run it. CTest uses
// it as the cross build's emulator, for listing the tests and for running each of them.
#include "ChildProcess.h"
#include "LabProtocol.h"
#include "NetworkNamespace.h"
#include "TestLab.h"
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
    int first = 1;
    for (; first + 1 < argc && std::string_view(argv[first]) == "--dll-path"; first += 2) {
        dllFolders.emplace_back(argv[first + 1]);
    }
    if (first >= argc) {
        std::cerr << "usage: ferrow_test_lab [--dll-path FOLDER]... PROGRAM.exe [ARGUMENTS...]\n";
        return kLabFailed;
    }
    if (const std::string why = EnterPrivateNetworkNamespace(); !why.empty()) {
        std::cerr << "ferrow_test_lab: Windows programs run here only inside a private network "
                     "namespace, and none could be had: "
                  << why << '\n';
        return kLabFailed;
    }
    std::string error;
    std::unique_ptr<TestLab> lab = TestLab::Start(error);
    std::unique_ptr<WineSession> wine = lab ? WineSession::Open(nullptr, error) : nullptr;
    if (!wine) {
        std::cerr << "ferrow_test_lab: " << error << '\n';
        return kLabFailed;
    }
    const std::string port = std::string(lab::kPortVariable) + "=" + std::to_string(lab->Port());
    const int status = RunProgram(
        wine->Command(argv[first], std::vector<std::string>(argv + first + 1, argv + argc),
                      {port, WinePathOf(dllFolders)}),
        nullptr);
    if (status != 0) {
        // A failing test says why in its own output; this line covers the runs that leave
        // none, when Wine could not start the program or a signal ended Wine.
        std::cerr << "ferrow_test_lab: " << argv[first] << " under Wine ended with status "
                  << status << (status < 0 ? " (it could not be started)" : "") << '\n';
    }
    return status < 0 ? kLabFailed : status;
}
