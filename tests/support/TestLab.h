#pragma once

// The native side of the Windows socket tests: serves the requests of LabProtocol.h on
// 127.0.0.1 of the caller's namespace, one thread per connection. Peer namespaces,
// senders, captures, port holders and recorders it makes live until released or until
// the lab ends.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace ferrow::test {

class ChildProcess;
class DatagramSender;
class NetworkNamespace;
class ProbeCapture;
class UdpPortHolder;

class TestLab {
public:
    // Listening on an ephemeral port of 127.0.0.1. Null on failure, with the reason.
    static std::unique_ptr<TestLab> Start(std::string& error);
    TestLab(const TestLab&) = delete;
    TestLab& operator=(const TestLab&) = delete;
    ~TestLab();

    std::uint16_t Port() const { return m_port; }

private:
    TestLab(int listener, std::uint16_t port);
    void Serve();
    using Words = std::vector<std::string>;

    // The words of a request, read by position; missing words read as empty.
    struct Request {
        const Words& words;
        std::string Word(std::size_t i) const { return i < words.size() ? words[i] : ""; }
        int Number(std::size_t i) const { return std::atoi(Word(i).c_str()); }
        Words WordsFrom(std::size_t i) const {
            return i < words.size()
                       ? Words(words.begin() + static_cast<std::ptrdiff_t>(i), words.end())
                       : Words();
        }
    };

    void Respond(int connection, std::stop_token stop);
    Words Answer(const Words& request);
    Words MakeNamespace(const Request& request);
    Words LinkVeth(const Request& request);
    Words RunInNamespace(const Request& request);
    Words OpenSender(const Request& request);
    Words Broadcast(const Request& request);
    Words OpenCapture(const Request& request);
    Words NextCaptured(const Request& request);
    Words HoldPort(const Request& request);
    Words StartRecorder(const Request& request);
    Words StopRecorder(const Request& request);
    Words ReleaseObject(const Request& request);

    using Object = std::variant<std::shared_ptr<NetworkNamespace>, std::shared_ptr<DatagramSender>,
                                std::shared_ptr<ProbeCapture>, std::shared_ptr<UdpPortHolder>,
                                std::shared_ptr<ChildProcess>>;
    std::string Keep(Object object);
    void Release(const std::string& id);
    template <typename T> std::shared_ptr<T> Find(const std::string& id);
    // The namespace a request names: "-" for the lab's own (null), else a kept one.
    bool FindNamespace(const std::string& id, std::shared_ptr<NetworkNamespace>& ns);

    int m_listener;
    std::uint16_t m_port;
    std::mutex m_mutex; // guards the objects, the id counter and the connections
    int m_nextId = 1;
    std::map<std::string, Object> m_objects;
    std::vector<std::jthread> m_connections;
    std::jthread m_acceptor;
};

} // namespace ferrow::test
