#include "TestLab.h"

#include "ChildProcess.h"
#include "DatagramSender.h"
#include "LabProtocol.h"
#include "NetworkNamespace.h"
#include "ProbeCapture.h"
#include "UdpPortHolder.h"
#include "platform/SocketApi.h"

#include <arpa/inet.h>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ferrow::test {

namespace {

using Words = std::vector<std::string>;

Words Failure(const std::string& why) {
    return {"error", why};
}

bool SendAll(int connection, const std::string& text) {
    std::size_t sent = 0;
    while (sent < text.size()) {
        const ssize_t now =
            ::send(connection, text.data() + sent, text.size() - sent, MSG_NOSIGNAL);
        if (now <= 0) {
            return false;
        }
        sent += static_cast<std::size_t>(now);
    }
    return true;
}

std::string ReadLine(int connection) {
    std::string line;
    char c;
    while (::recv(connection, &c, 1, 0) == 1 && c != '\n') {
        line += c;
    }
    return line;
}

} // namespace

std::unique_ptr<TestLab> TestLab::Start(std::string& error) {
    const int listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = socket_api::Ipv4SocketAddress(htonl(INADDR_LOOPBACK), 0);
    socklen_t length = sizeof address;
    if (listener < 0 ||
        ::bind(listener, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener, 16) != 0 ||
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        error = std::string("cannot listen on 127.0.0.1: ") + std::strerror(errno);
        if (listener >= 0) {
            ::close(listener);
        }
        return nullptr;
    }
    return std::unique_ptr<TestLab>(new TestLab(listener, ntohs(address.sin_port)));
}

TestLab::TestLab(int listener, std::uint16_t port)
    : m_listener(listener), m_port(port), m_acceptor([this] { Serve(); }) {}

TestLab::~TestLab() {
    ::shutdown(m_listener, SHUT_RDWR);
    m_acceptor.join();
    ::close(m_listener);
    std::vector<std::jthread> connections;
    {
        const std::lock_guard lock(m_mutex);
        connections.swap(m_connections);
    }
    connections.clear(); // joins them
    m_objects.clear();   // recorders stop before their namespaces go
}

void TestLab::Serve() {
    for (;;) {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        const std::lock_guard lock(m_mutex);
        m_connections.emplace_back(
            [this, connection](std::stop_token stop) { Respond(connection, stop); });
    }
}

void TestLab::Respond(int connection, std::stop_token stop) {
    const Words request = lab::DecodeLine(ReadLine(connection));
    SendAll(connection, lab::EncodeLine(Answer(request)));
    ::close(connection);
    if (!request.empty() && request[0] == "recorder") {
        // A child is killed when the thread that started it ends (ChildProcess.h): this
        // thread stays until the lab ends.
        std::mutex mutex;
        std::unique_lock lock(mutex);
        std::condition_variable_any().wait(lock, stop, [] { return false; });
    }
}

std::string TestLab::Keep(Object object) {
    const std::lock_guard lock(m_mutex);
    const std::string id = std::to_string(m_nextId++);
    m_objects.emplace(id, std::move(object));
    return id;
}

template <typename T> std::shared_ptr<T> TestLab::Find(const std::string& id) {
    const std::lock_guard lock(m_mutex);
    const auto found = m_objects.find(id);
    if (found == m_objects.end()) {
        return nullptr;
    }
    const auto* object = std::get_if<std::shared_ptr<T>>(&found->second);
    return object != nullptr ? *object : nullptr;
}

bool TestLab::FindNamespace(const std::string& id, std::shared_ptr<NetworkNamespace>& ns) {
    ns = id.empty() ? nullptr : Find<NetworkNamespace>(id);
    return id.empty() || ns != nullptr;
}

// Each request is the operation's name and its words (see LabProtocol.h); the comment
// beside each handler gives its words and what it answers after "ok".
std::vector<std::string> TestLab::Answer(const Words& request) {
    using Handler = Words (TestLab::*)(const Request&);
    static const std::map<std::string, Handler> kHandlers{
        {"namespace", &TestLab::MakeNamespace}, {"veth", &TestLab::LinkVeth},
        {"run", &TestLab::RunInNamespace},      {"sender", &TestLab::OpenSender},
        {"broadcast", &TestLab::Broadcast},     {"capture", &TestLab::OpenCapture},
        {"next", &TestLab::NextCaptured},       {"hold", &TestLab::HoldPort},
        {"recorder", &TestLab::StartRecorder},  {"stop", &TestLab::StopRecorder},
        {"release", &TestLab::ReleaseObject}};
    const auto handler = request.empty() ? kHandlers.end() : kHandlers.find(request[0]);
    if (handler == kHandlers.end()) {
        return Failure("unknown request: " + (request.empty() ? std::string() : request[0]));
    }
    return (this->*handler->second)(Request{request});
}

// -> id
TestLab::Words TestLab::MakeNamespace(const Request&) {
    std::string error;
    std::shared_ptr<NetworkNamespace> created = NetworkNamespace::Create(error);
    return created ? Words{"ok", Keep(created)} : Failure(error);
}

// ns localName localAddress peerAddress localMac peerMac peerName
TestLab::Words TestLab::LinkVeth(const Request& request) {
    std::shared_ptr<NetworkNamespace> ns;
    if (!FindNamespace(request.Word(1), ns) || !ns) {
        return Failure("no such namespace");
    }
    VethOptions options(request.Word(2), request.Word(3), request.Word(4));
    options.localMac = request.Word(5);
    options.peerMac = request.Word(6);
    options.peerName = request.Word(7);
    std::string error;
    return ConnectVeth(*ns, options, error) ? Words{"ok"} : Failure(error);
}

// ns argv... -> status output
TestLab::Words TestLab::RunInNamespace(const Request& request) {
    std::shared_ptr<NetworkNamespace> ns;
    if (!FindNamespace(request.Word(1), ns)) {
        return Failure("no such namespace");
    }
    std::string output;
    const int status = RunProgram(request.WordsFrom(2), ns.get(), &output);
    return {"ok", std::to_string(status), output};
}

// ns address -> id
TestLab::Words TestLab::OpenSender(const Request& request) {
    std::shared_ptr<NetworkNamespace> ns;
    if (!FindNamespace(request.Word(1), ns)) {
        return Failure("no such namespace");
    }
    std::string error;
    std::shared_ptr<DatagramSender> sender = DatagramSender::Open(ns.get(), request.Word(2), error);
    return sender ? Words{"ok", Keep(sender)} : Failure(error);
}

// sender port bytes
TestLab::Words TestLab::Broadcast(const Request& request) {
    const auto sender = Find<DatagramSender>(request.Word(1));
    if (!sender) {
        return Failure("no such sender");
    }
    return sender->Broadcast(request.Word(3), static_cast<std::uint16_t>(request.Number(2)))
               ? Words{"ok"}
               : Failure("the datagram was not sent");
}

// ns -> id
TestLab::Words TestLab::OpenCapture(const Request& request) {
    std::shared_ptr<NetworkNamespace> ns;
    if (!FindNamespace(request.Word(1), ns)) {
        return Failure("no such namespace");
    }
    std::string error;
    std::shared_ptr<ProbeCapture> capture = ProbeCapture::Open(ns.get(), error);
    return capture ? Words{"ok", Keep(capture)} : Failure(error);
}

// capture timeoutMs -> nothing, or bytes source port destination ttl
TestLab::Words TestLab::NextCaptured(const Request& request) {
    const auto capture = Find<ProbeCapture>(request.Word(1));
    if (!capture) {
        return Failure("no such capture");
    }
    const auto datagram = capture->Next(std::chrono::milliseconds(request.Number(2)));
    if (!datagram) {
        return {"ok"};
    }
    return {"ok",
            datagram->bytes,
            datagram->sourceAddress,
            std::to_string(datagram->sourcePort),
            datagram->destinationAddress,
            std::to_string(datagram->ttl)};
}

// port ns -> id
TestLab::Words TestLab::HoldPort(const Request& request) {
    std::shared_ptr<NetworkNamespace> ns;
    if (!FindNamespace(request.Word(2), ns)) {
        return Failure("no such namespace");
    }
    std::string error;
    std::shared_ptr<UdpPortHolder> holder =
        UdpPortHolder::Hold(static_cast<std::uint16_t>(request.Number(1)), ns.get(), error);
    return holder ? Words{"ok", Keep(holder)} : Failure(error);
}

// ns arguments... -> id
TestLab::Words TestLab::StartRecorder(const Request& request) {
    std::shared_ptr<NetworkNamespace> ns;
    if (!FindNamespace(request.Word(1), ns)) {
        return Failure("no such namespace");
    }
    std::string error;
    std::shared_ptr<ChildProcess> recorder =
        ChildProcess::StartRecorder(request.WordsFrom(2), ns.get(), error);
    return recorder ? Words{"ok", Keep(recorder)} : Failure(error);
}

// recorder signal timeoutMs -> status; the recorder is released
TestLab::Words TestLab::StopRecorder(const Request& request) {
    const auto child = Find<ChildProcess>(request.Word(1));
    if (!child) {
        return Failure("no such process");
    }
    const int status = child->Stop(request.Number(2), std::chrono::milliseconds(request.Number(3)));
    Release(request.Word(1));
    return {"ok", std::to_string(status)};
}

// id
TestLab::Words TestLab::ReleaseObject(const Request& request) {
    Release(request.Word(1));
    return {"ok"};
}

void TestLab::Release(const std::string& id) {
    Object released; // ends at the return, outside the lock: a recorder takes time to stop
    const std::lock_guard lock(m_mutex);
    if (const auto found = m_objects.find(id); found != m_objects.end()) {
        released = std::move(found->second);
        m_objects.erase(found);
    }
}

} // namespace ferrow::test
