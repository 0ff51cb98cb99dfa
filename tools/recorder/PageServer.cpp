#include "tools/recorder/PageServer.h"

#include "platform/SocketApi.h"

#include <chrono>
#include <httplib.h>

namespace ferrow::recorder {

namespace {

// A page is one small response: two workers answer a browser's parallel requests.
constexpr std::size_t kWorkers = 2;
constexpr std::chrono::seconds kStallTimeout{1};

} // namespace

PageServer::PageServer(std::string page) : m_server(std::make_unique<httplib::Server>()) {
    m_server->new_task_queue = [] { return new httplib::ThreadPool(kWorkers); };
    // One request per connection, and a client that stalls is dropped after a second: no
    // connection holds a worker (and so Stop) for long.
    m_server->set_keep_alive_max_count(1);
    m_server->set_read_timeout(kStallTimeout);
    m_server->set_write_timeout(kStallTimeout);
    // Instead of the default options, which on Linux let a second server share the port.
    m_server->set_socket_options(
        [](SocketHandle socket) { socket_api::MakeExclusiveListener(socket); });
    m_server->Get("/",
                  [page = std::move(page)](const httplib::Request&, httplib::Response& response) {
                      response.set_content(page, "text/html; charset=utf-8");
                  });
}

PageServer::~PageServer() {
    Stop();
}

bool PageServer::Open(const std::string& address, std::uint16_t port, std::string& error) {
    if (!m_server->bind_to_port(address, port)) {
        error = "cannot listen on TCP port " + std::to_string(port) + " of " + address +
                " for the web page (in use?)";
        return false;
    }
    return true;
}

void PageServer::Start() {
    m_thread = std::thread([this] {
        m_server->listen_after_bind();
        m_loopEnded = true;
    });
    // The server's stop acts only on a running loop.
    while (!m_server->is_running() && !m_loopEnded) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void PageServer::Stop() {
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

} // namespace ferrow::recorder
