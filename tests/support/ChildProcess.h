#pragma once

// Programs started by tests, optionally inside a namespace of NetworkNamespace.h. A child
// is killed when the thread that started it ends, and so with the test process: nothing
// outlives a crashed test. Under the test lab on Windows, programs are the lab's native
// ones, run by the lab: there only RunProgram, StartRecorder and Stop are offered.

#include <chrono>
#include <csignal>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace ferrow::test {

class NetworkNamespace;

#ifndef _WIN32
// The program's path: as given when it holds a '/', else looked up in PATH, /usr/sbin and
// /sbin. Empty when not found.
std::string FindProgram(const std::string& name);

// The path of the ferrow-recorder built with the tests; empty when it was not built.
std::string RecorderPath();
#endif

// Runs argv (argv[0] as for FindProgram) to its end inside ns (null: the caller's
// namespace). Returns its exit status, 128 + the signal's number when a signal ended it
// (as shells report it), or -1 when it could not be run.
// Standard output and error are collected into output when given, else they are the
// caller's.
int RunProgram(const std::vector<std::string>& argv, const NetworkNamespace* ns,
               std::string* output = nullptr);

class ChildProcess {
public:
#ifndef _WIN32
    // Starts argv inside ns (null: the caller's namespace) with its standard output on a
    // pipe (read by WaitForLine); standard error goes to the test's. Null on failure.
    static std::unique_ptr<ChildProcess> Start(const std::vector<std::string>& argv,
                                               const NetworkNamespace* ns, std::string& error);
#endif

    // Starts ferrow-recorder with the arguments and waits (up to 10 s) until it reports
    // that it is ready. Null on failure, with the reason in error.
    static std::unique_ptr<ChildProcess> StartRecorder(const std::vector<std::string>& arguments,
                                                       const NetworkNamespace* ns,
                                                       std::string& error);

    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

#ifndef _WIN32
    // The next line of the child's output (without its line end), or nothing when the time,
    // or the output, ends first.
    std::optional<std::string> NextLine(std::chrono::milliseconds timeout);
    // Reads the child's output until a line equal to line arrives (true) or the time, or
    // the output, ends (false).
    bool WaitForLine(const std::string& line, std::chrono::milliseconds timeout);
    // Everything read from the child's output so far.
    const std::string& Output() const {
        return m_output;
    }
#endif

    // Sends the signal and waits for the end, killing the child if it has not ended in
    // time. The exit status, 128 + the signal's number when a signal ended it, or -1.
    int Stop(int signal = SIGTERM, std::chrono::milliseconds timeout = std::chrono::seconds(5));
    bool Running() const {
        return m_pid > 0;
    }

private:
    ChildProcess(int pid, int outputDescriptor)
        : m_pid(pid), m_outputDescriptor(outputDescriptor) {}
    bool ReadSome(std::chrono::milliseconds timeout);

    int m_pid; // under the lab, the lab's number for the process
    int m_outputDescriptor;
    std::string m_output;
    std::size_t m_scanned = 0; // lines before this offset were already compared
};

} // namespace ferrow::test
