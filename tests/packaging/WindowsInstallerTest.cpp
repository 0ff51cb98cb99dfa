// The Windows installer as a user meets it, under Wine in a private network namespace: a
// silent install into a fresh prefix puts Ferrow under Program Files with a Start Menu
// shortcut, the installed ferrow.exe opens its window and ends when it is closed, and the
// uninstaller leaves nothing of it behind. The Windows build's suite runs this program and
// names its packages' folder in FERROW_WINDOWS_PACKAGES.
#include "tests/support/ChildProcess.h"
#include "tests/support/NetworkNamespace.h"
#include "tests/support/VirtualDisplay.h"
#include "tests/support/WineSession.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <gtest/gtest.h>

namespace ferrow {
namespace {

namespace fs = std::filesystem;
using test::RunProgram;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// The installer that the Windows build's packaging made; empty when there is none.
fs::path Installer() {
    const char* folder = std::getenv("FERROW_WINDOWS_PACKAGES");
    if (folder == nullptr || !fs::is_directory(folder)) {
        return {};
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.path().extension() == ".exe") {
            return entry.path();
        }
    }
    return {};
}

// Everything of Ferrow in the prefix: files and folders under drive C: whose name says
// "ferrow", and registry lines that do.
std::vector<std::string> TracesOfFerrow(const fs::path& prefix) {
    std::vector<std::string> traces;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(prefix / "drive_c")) {
        if (Lower(entry.path().filename().string()).find("ferrow") != std::string::npos) {
            traces.push_back(entry.path().lexically_relative(prefix).string());
        }
    }
    for (const char* hive : {"system.reg", "user.reg"}) {
        std::ifstream registry(prefix / hive);
        for (std::string line; std::getline(registry, line);) {
            if (Lower(line).find("ferrow") != std::string::npos) {
                traces.push_back(std::string(hive) + ": " + line);
            }
        }
    }
    return traces;
}

// Runs the X client with the display given; its exit status, its output in output.
int RunOnDisplay(const test::VirtualDisplay& display, std::vector<std::string> argv,
                 std::string& output) {
    argv.insert(argv.begin(), {"env", "DISPLAY=" + display.Name()});
    return RunProgram(argv, nullptr, &output);
}

TEST(WindowsInstaller, InstallsStartsAndUninstallsWithoutATrace) {
    const fs::path installer = Installer();
    if (installer.empty()) {
        GTEST_SKIP() << "run by the Windows build's suite, which makes the installer";
    }
    FERROW_ENTER_PRIVATE_NETWORK();
    std::string error;
    const auto display = test::VirtualDisplay::Start(error);
    ASSERT_TRUE(display) << error;
    const auto wine = test::WineSession::Open(nullptr, error);
    ASSERT_TRUE(wine) << error;
    const fs::path prefix = wine->Prefix();
    const std::vector<std::string> onDisplay{"DISPLAY=" + display->Name()};
    ASSERT_EQ(TracesOfFerrow(prefix), std::vector<std::string>{});

    ASSERT_EQ(RunProgram(wine->Command(installer.string(), {"/S"}, onDisplay), nullptr), 0);
    wine->WaitForPrograms();
    const fs::path folder = prefix / "drive_c/Program Files/Ferrow";
    for (const char* file : {"bin/ferrow.exe", "bin/ferrow-scan.exe", "bin/Qt6Widgets.dll",
                             "bin/platforms/qwindows.dll", "Uninstall.exe", "README.md"}) {
        EXPECT_TRUE(fs::exists(folder / file)) << file;
    }
    EXPECT_FALSE(fs::exists(folder / "bin/ferrow-recorder.exe"))
        << "the simulated recorder is installed only when chosen";
    EXPECT_TRUE(fs::exists(
        prefix / "drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Ferrow/Ferrow.lnk"));

    // The installed window opens, and closing it ends the program with the frame's code.
    auto run = std::async(std::launch::async, [&] {
        return RunProgram(wine->Command(R"(C:\Program Files\Ferrow\bin\ferrow.exe)", {}, onDisplay),
                          nullptr);
    });
    std::string window;
    ASSERT_EQ(RunOnDisplay(*display,
                           {"timeout", "60", "xdotool", "search", "--sync", "--name", "^Ferrow$"},
                           window),
              0)
        << "no window titled Ferrow appeared";
    window = window.substr(0, window.find('\n'));
    std::string output;
    EXPECT_EQ(RunOnDisplay(*display, {"xdotool", "windowfocus", "--sync", window, "key", "alt+F4"},
                           output),
              0)
        << output;
    if (run.wait_for(std::chrono::seconds(60)) != std::future_status::ready) {
        wine->EndPrograms();
        FAIL() << "ferrow.exe did not end when its window was closed";
    }
    EXPECT_EQ(run.get(), 1);

    ASSERT_EQ(
        RunProgram(wine->Command(R"(C:\Program Files\Ferrow\Uninstall.exe)", {"/S"}), nullptr), 0);
    wine->WaitForPrograms(); // the uninstaller finishes from a copy of itself
    EXPECT_EQ(TracesOfFerrow(prefix), std::vector<std::string>{});
}

} // namespace
} // namespace ferrow
