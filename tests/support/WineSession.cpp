#include "WineSession.h"

#include "ChildProcess.h"
#include "NetworkNamespace.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <sys/file.h>
#include <unistd.h>

namespace ferrow::test {

namespace {

namespace fs = std::filesystem;

// Quiet, without the .NET and HTML engines that a new prefix would offer to install,
// without the menu builder that copies a program's Start Menu shortcuts into this machine's
// desktop menus, and in a locale whose ANSI code page is 1252, as the Windows suites expect.
const std::vector<std::string> kWineEnvironment{
    "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=;winemenubuilder.exe=d", "LC_ALL=C.UTF-8"};

// Wine keeps its server's socket in a folder under TMPDIR, which it finds again through a
// file in the prefix. Under the common TMPDIR, every copy of the prepared prefix would keep
// its server in one folder shared by all sessions, told apart only by the prefix's inode
// number, which the file system hands out again once a session's prefix is removed. So
// each prefix has a TMPDIR of its own beside it, and the server's folder ends with it.
std::string TempFolderOf(const std::string& prefix) {
    return prefix + ".tmp";
}

std::vector<std::string> WineCommand(const std::string& prefix,
                                     const std::vector<std::string>& tail) {
    std::vector<std::string> argv{"env", "WINEPREFIX=" + prefix, "TMPDIR=" + TempFolderOf(prefix)};
    argv.insert(argv.end(), kWineEnvironment.begin(), kWineEnvironment.end());
    argv.insert(argv.end(), tail.begin(), tail.end());
    return argv;
}

// The prepared prefix, made once (under a lock, as tests run in parallel) in a namespace
// of its own: wineboot starts Windows programs too. Without Debian's 32-bit Wine, wineboot
// fails on the 32-bit half of its setup and leaves the rest of wine.inf undone, the
// services among it (nsiproxy, which GetAdaptersInfo needs); so the 64-bit part of wine.inf
// is installed here by hand.
bool EnsurePreparedPrefix(std::string& error) {
    const fs::path prepared = FERROW_WINE_PREFIX;
    const fs::path ready = prepared / ".ferrow-prepared-3";
    const std::vector<std::string> installWineInf{
        "wine",           "rundll32", "setupapi.dll,InstallHinfSection",
        "DefaultInstall", "128",      R"(\\?\unix/usr/share/wine/wine.inf)"};
    const std::string lockPath = prepared.string() + ".lock";
    const int lock = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0 || ::flock(lock, LOCK_EX) != 0) {
        error = "cannot lock " + lockPath;
        return false;
    }
    bool ok = fs::exists(ready);
    if (!ok) {
        std::error_code ignored;
        fs::remove_all(prepared, ignored);
        fs::remove_all(TempFolderOf(prepared), ignored);
        fs::create_directories(TempFolderOf(prepared), ignored);
        auto ns = NetworkNamespace::Create(error);
        std::string output;
        ok = ns &&
             RunProgram(WineCommand(prepared, {"wineboot", "--init"}), ns.get(), &output) == 0 &&
             RunProgram(WineCommand(prepared, installWineInf), ns.get(), &output) == 0 &&
             RunProgram(WineCommand(prepared, {"wineserver", "--wait"}), ns.get()) == 0;
        if (ok) {
            ok = std::ofstream(ready).good();
        } else if (error.empty()) {
            error = "wineboot could not prepare " + prepared.string() + ": " + output;
        }
    }
    ::close(lock);
    return ok;
}

// Wine's programs and libraries are only read, so the copy links them to the prepared
// prefix; everything else (the registry above all, which a wineserver rewrites in place
// when its file has other links) is copied.
void CopyPrefix(const fs::path& from, const fs::path& to, std::error_code& failure) {
    static const std::set<std::string> kReadOnlyKinds{".acm", ".ax",  ".com", ".cpl",      ".dll",
                                                      ".drv", ".ds",  ".exe", ".msstyles", ".nls",
                                                      ".ocx", ".sys", ".tlb"};
    fs::create_directories(to, failure);
    for (auto entry = fs::recursive_directory_iterator(from, failure);
         !failure && entry != fs::recursive_directory_iterator(); entry.increment(failure)) {
        const fs::path target = to / entry->path().lexically_relative(from);
        if (entry->is_symlink()) {
            fs::copy_symlink(entry->path(), target, failure);
        } else if (entry->is_directory()) {
            fs::create_directory(target, failure);
        } else if (kReadOnlyKinds.contains(entry->path().extension().string())) {
            fs::create_hard_link(entry->path(), target, failure);
        } else {
            fs::copy_file(entry->path(), target, failure);
        }
    }
}

} // namespace

std::string InterfaceReachingOut(const NetworkNamespace* ns) {
    std::string listing;
    if (RunProgram({"ip", "-details", "-oneline", "link", "show"}, ns, &listing) != 0) {
        return "(ip link show failed: " + listing + ")";
    }
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        // "2: name@peer: <FLAGS> ..." ; veth links say "veth" among their details.
        const std::size_t nameStart = line.find(": ") + 2;
        const std::string name = line.substr(nameStart, line.find(": ", nameStart) - nameStart);
        const std::string flags = line.substr(line.find('<'), line.find('>') - line.find('<') + 1);
        const bool up =
            flags.find(",UP") != std::string::npos || flags.find("<UP") != std::string::npos;
        const bool loopback = name == "lo";
        const bool veth = line.find(" veth ") != std::string::npos;
        // The kernel gives every namespace idle tunnel devices with no lower link.
        const bool idleTunnel = !up && name.ends_with("@NONE");
        if (!loopback && !veth && !idleTunnel) {
            return name;
        }
    }
    return {};
}

std::unique_ptr<WineSession> WineSession::Open(const NetworkNamespace* ns, std::string& error) {
    if (const std::string name = InterfaceReachingOut(ns); !name.empty()) {
        error = "refusing to run Wine: the namespace holds the interface " + name +
                ", which may reach a real network";
        return nullptr;
    }
    if (!EnsurePreparedPrefix(error)) {
        return nullptr;
    }
    std::string prefix = (fs::temp_directory_path() / "ferrow-wine-XXXXXX").string();
    if (::mkdtemp(prefix.data()) == nullptr) {
        error = "cannot make a folder for the Wine prefix";
        return nullptr;
    }
    prefix += "/prefix";
    std::error_code failure;
    if (fs::create_directory(TempFolderOf(prefix), failure)) {
        CopyPrefix(FERROW_WINE_PREFIX, prefix, failure);
    }
    if (failure) {
        error = "cannot copy the Wine prefix: " + failure.message();
        fs::remove_all(fs::path(prefix).parent_path(), failure);
        return nullptr;
    }
    return std::unique_ptr<WineSession>(new WineSession(prefix));
}

WineSession::~WineSession() {
    EndPrograms();
    std::error_code ignoredError;
    fs::remove_all(fs::path(m_prefix).parent_path(), ignoredError);
}

void WineSession::EndPrograms() const {
    std::string ignored;
    RunProgram(WineCommand(m_prefix, {"wineserver", "--kill"}), nullptr, &ignored);
}

int WineSession::WaitForPrograms() const {
    return RunProgram(WineCommand(m_prefix, {"wineserver", "--wait"}), nullptr);
}

std::vector<std::string> WineSession::Command(const std::string& program,
                                              const std::vector<std::string>& arguments,
                                              const std::vector<std::string>& environment) const {
    std::vector<std::string> tail = environment;
    tail.push_back("wine");
    tail.push_back(program);
    tail.insert(tail.end(), arguments.begin(), arguments.end());
    return WineCommand(m_prefix, tail);
}

} // namespace ferrow::test
