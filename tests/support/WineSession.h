#pragma once

// Windows programs run under Wine for the tests. Wine creates a program's sockets in its
// wineserver, so the wineserver must live in a private network namespace: each session
// has a copy of a prepared Wine prefix of its own (its binaries hard-linked, so it costs
// little) and with it a wineserver of its own, started by the session's first program in
// the namespace where that program runs. Before anything starts, the namespace is checked to
// hold nothing but loopback, veth links and the kernel's idle tunnel devices.
//
//   auto wine = WineSession::Open(peer.get(), error);       // null when it cannot
//   auto recorder = ChildProcess::Start(wine->Command(exe, {"--address", "10.9.0.2"}),
//                                       peer.get(), error);

#include <memory>
#include <string>
#include <vector>

namespace ferrow::test {

class NetworkNamespace;

// Empty when the namespace (null: the caller's) has only interfaces that reach no real
// network, else the name of one that might.
std::string InterfaceReachingOut(const NetworkNamespace* ns);

class WineSession {
public:
    // A session for programs that will run in ns (null: the caller's namespace); makes
    // the prepared prefix on first use. Null on failure, with the reason in error.
    static std::unique_ptr<WineSession> Open(const NetworkNamespace* ns, std::string& error);

    WineSession(const WineSession&) = delete;
    WineSession& operator=(const WineSession&) = delete;
    ~WineSession(); // ends the session's wineserver and removes its prefix

    // The command line that runs the Windows program under this session, with the extra
    // environment ("NAME=value") given.
    std::vector<std::string> Command(const std::string& program,
                                     const std::vector<std::string>& arguments,
                                     const std::vector<std::string>& environment = {}) const;

    // The prefix's folder on this machine (its drive C: is drive_c/ in it).
    const std::string& Prefix() const { return m_prefix; }

    // Waits until every program of the session has ended, those that the ones it started
    // started in turn included; the exit status of wineserver --wait.
    int WaitForPrograms() const;
    // Ends every program of the session at once.
    void EndPrograms() const;

private:
    explicit WineSession(std::string prefix) : m_prefix(std::move(prefix)) {}
    std::string m_prefix;
};

} // namespace ferrow::test
