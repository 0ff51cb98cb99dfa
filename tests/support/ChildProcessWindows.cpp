#include "ChildProcess.h"
#include "LabClient.h"

#include <cstdlib>

namespace ferrow::test {

namespace {

constexpr int kLinuxSigkill = 9; // the lab runs on Linux, where the numbers are these

} // namespace

int RunProgram(const std::vector<std::string>& argv, const NetworkNamespace* ns,
               std::string* output) {
    std::vector<std::string> request{"run", lab::NamespaceWord(ns)};
    request.insert(request.end(), argv.begin(), argv.end());
    std::string error;
    const auto answer = lab::Call(request, error);
    if (!answer || answer->size() < 2) {
        if (output != nullptr) {
            *output = error;
        }
        return -1;
    }
    if (output != nullptr) {
        *output = (*answer)[1];
    }
    return std::atoi((*answer)[0].c_str());
}

std::unique_ptr<ChildProcess> ChildProcess::StartRecorder(const std::vector<std::string>& arguments,
                                                          const NetworkNamespace* ns,
                                                          std::string& error) {
    std::vector<std::string> request{"recorder", lab::NamespaceWord(ns)};
    request.insert(request.end(), arguments.begin(), arguments.end());
    const int id = lab::CallForId(request, error);
    return id != 0 ? std::unique_ptr<ChildProcess>(new ChildProcess(id, -1)) : nullptr;
}

ChildProcess::~ChildProcess() {
    Stop(kLinuxSigkill);
}

int ChildProcess::Stop(int signal, std::chrono::milliseconds timeout) {
    if (m_pid <= 0) {
        return -1;
    }
    std::string error;
    const auto answer = lab::Call(
        {"stop", std::to_string(m_pid), std::to_string(signal), std::to_string(timeout.count())},
        error);
    m_pid = -1; // the lab lets go of a process it has stopped
    return answer && !answer->empty() ? std::atoi(answer->front().c_str()) : -1;
}

} // namespace ferrow::test
