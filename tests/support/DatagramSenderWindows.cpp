#include "DatagramSender.h"
#include "LabClient.h"

namespace ferrow::test {

std::unique_ptr<DatagramSender>
DatagramSender::Open(const NetworkNamespace* ns, const std::string& address, std::string& error) {
    const int id = lab::CallForId({"sender", lab::NamespaceWord(ns), address}, error);
    return id != 0 ? std::unique_ptr<DatagramSender>(new DatagramSender(id)) : nullptr;
}

DatagramSender::~DatagramSender() {
    Stop();
    lab::Release(m_socket);
}

bool DatagramSender::Broadcast(std::string_view bytes, std::uint16_t port) {
    std::string error;
    const bool sent =
        lab::Call({"broadcast", std::to_string(m_socket), std::to_string(port), std::string(bytes)},
                  error)
            .has_value();
    m_lastSend = std::chrono::steady_clock::now();
    return sent;
}

} // namespace ferrow::test
