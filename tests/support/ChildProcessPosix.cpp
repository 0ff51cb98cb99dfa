#include "ChildProcess.h"
#include "NetworkNamespace.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sched.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ferrow::test {

namespace {

using Clock = std::chrono::steady_clock;

bool IsExecutable(const std::string& path) {
    return ::access(path.c_str(), X_OK) == 0;
}

int StatusOf(int waitStatus) {
    if (WIFEXITED(waitStatus)) {
        return WEXITSTATUS(waitStatus);
    }
    return WIFSIGNALED(waitStatus) ? 128 + WTERMSIG(waitStatus) : -1;
}

// Forks; the child enters ns, takes the pipe's write end (when there is one) as its
// standard output (and error, when mergeError) and executes path. Returns the child's pid
// or -1.
pid_t Spawn(const std::string& path, const std::vector<std::string>& argv,
            const NetworkNamespace* ns, int outputWriteEnd, bool mergeError) {
    std::vector<char*> arguments;
    for (const std::string& argument : argv) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const int nsDescriptor = ns != nullptr ? ns->Descriptor() : -1;
    const pid_t parent = ::getpid();

    const pid_t pid = ::fork();
    if (pid != 0) {
        return pid;
    }
    // Only async-signal-safe calls from here on.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) {
        ::_exit(127);
    }
    if (nsDescriptor >= 0 && ::setns(nsDescriptor, CLONE_NEWNET) != 0) {
        ::_exit(126);
    }
    if (outputWriteEnd >= 0) {
        ::dup2(outputWriteEnd, STDOUT_FILENO);
    }
    if (outputWriteEnd >= 0 && mergeError) {
        ::dup2(outputWriteEnd, STDERR_FILENO);
    }
    ::execv(path.c_str(), arguments.data());
    ::_exit(127);
}

// Closes the pipe's write end and reads the other until every writer has closed it.
void CollectOutput(const int (&pipeEnds)[2], std::string& output) {
    ::close(pipeEnds[1]);
    char chunk[4096];
    ssize_t length;
    while ((length = ::read(pipeEnds[0], chunk, sizeof chunk)) != 0) {
        if (length > 0) {
            output.append(chunk, static_cast<std::size_t>(length));
        } else if (errno != EINTR) {
            break;
        }
    }
    ::close(pipeEnds[0]);
}

} // namespace

std::string FindProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) {
        return IsExecutable(name) ? name : std::string();
    }
    std::string directories = ::getenv("PATH") != nullptr ? ::getenv("PATH") : "";
    directories += ":/usr/sbin:/sbin";
    std::size_t start = 0;
    while (start <= directories.size()) {
        const std::size_t end = std::min(directories.find(':', start), directories.size());
        const std::string candidate = directories.substr(start, end - start) + "/" + name;
        if (end > start && IsExecutable(candidate)) {
            return candidate;
        }
        start = end + 1;
    }
    return {};
}

std::string RecorderPath() {
    return IsExecutable(FERROW_RECORDER_PATH) ? FERROW_RECORDER_PATH : "";
}

int RunProgram(const std::vector<std::string>& argv, const NetworkNamespace* ns,
               std::string* output) {
    const std::string path = argv.empty() ? "" : FindProgram(argv[0]);
    int pipeEnds[2] = {-1, -1};
    if (path.empty() || (output != nullptr && ::pipe2(pipeEnds, O_CLOEXEC) != 0)) {
        return -1;
    }
    const pid_t pid = Spawn(path, argv, ns, pipeEnds[1], true);
    if (output != nullptr) {
        CollectOutput(pipeEnds, *output);
    }
    int waitStatus = 0;
    if (pid < 0 || ::waitpid(pid, &waitStatus, 0) != pid) {
        return -1;
    }
    return StatusOf(waitStatus);
}

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv,
                                                  const NetworkNamespace* ns, std::string& error) {
    const std::string path = argv.empty() ? "" : FindProgram(argv[0]);
    if (path.empty()) {
        error = "program not found: " + (argv.empty() ? std::string() : argv[0]);
        return nullptr;
    }
    int pipeEnds[2];
    if (::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        error = "cannot make a pipe";
        return nullptr;
    }
    const pid_t pid = Spawn(path, argv, ns, pipeEnds[1], false);
    ::close(pipeEnds[1]);
    if (pid < 0) {
        ::close(pipeEnds[0]);
        error = "cannot fork";
        return nullptr;
    }
    return std::unique_ptr<ChildProcess>(new ChildProcess(pid, pipeEnds[0]));
}

std::unique_ptr<ChildProcess> ChildProcess::StartRecorder(const std::vector<std::string>& arguments,
                                                          const NetworkNamespace* ns,
                                                          std::string& error) {
    const std::string path = RecorderPath();
    if (path.empty()) {
        error = "ferrow-recorder was not built";
        return nullptr;
    }
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    auto recorder = Start(argv, ns, error);
    if (recorder && !recorder->WaitForLine("ready", std::chrono::seconds(10))) {
        error = "ferrow-recorder did not become ready (exit status " +
                std::to_string(recorder->Stop()) + ")";
        return nullptr;
    }
    return recorder;
}

ChildProcess::~ChildProcess() {
    Stop(SIGKILL);
    ::close(m_outputDescriptor);
}

bool ChildProcess::ReadSome(std::chrono::milliseconds timeout) {
    pollfd entry{m_outputDescriptor, POLLIN, 0};
    if (::poll(&entry, 1, static_cast<int>(timeout.count())) <= 0) {
        return false;
    }
    char chunk[4096];
    const ssize_t length = ::read(m_outputDescriptor, chunk, sizeof chunk);
    if (length <= 0) {
        return false;
    }
    m_output.append(chunk, static_cast<std::size_t>(length));
    return true;
}

std::optional<std::string> ChildProcess::NextLine(std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    for (;;) {
        if (const std::size_t end = m_output.find('\n', m_scanned); end != std::string::npos) {
            std::string line = m_output.substr(m_scanned, end - m_scanned);
            m_scanned = end + 1;
            return line;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0 || !ReadSome(left)) {
            return std::nullopt;
        }
    }
}

bool ChildProcess::WaitForLine(const std::string& line, std::chrono::milliseconds timeout) {
    const Clock::time_point deadline = Clock::now() + timeout;
    while (const auto next = NextLine(
               std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()))) {
        if (*next == line) {
            return true;
        }
    }
    return false;
}

int ChildProcess::Stop(int signal, std::chrono::milliseconds timeout) {
    if (m_pid <= 0) {
        return -1;
    }
    ::kill(m_pid, signal);
    const Clock::time_point deadline = Clock::now() + timeout;
    int waitStatus = 0;
    pid_t ended;
    while ((ended = ::waitpid(m_pid, &waitStatus, WNOHANG)) == 0 && Clock::now() < deadline) {
        ::usleep(5000);
    }
    if (ended == 0) {
        ::kill(m_pid, SIGKILL);
        ended = ::waitpid(m_pid, &waitStatus, 0);
    }
    m_pid = -1;
    return ended > 0 ? StatusOf(waitStatus) : -1;
}

} // namespace ferrow::test
