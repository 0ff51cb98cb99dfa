#include "LabClient.h"

#include "LabProtocol.h"
#include "NetworkNamespace.h"
#include "platform/SocketApi.h"

#include <cstdlib>

namespace ferrow::test::lab {

namespace {

const char* PortText() {
    return std::getenv(kPortVariable);
}

// One connection per request, so that threads of the test may ask at the same time.
bool Exchange(const std::string& line, std::string& answer) {
    static const socket_api::SocketLibraryScope socketLibrary;
    const SOCKET connection = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    const sockaddr_in lab = socket_api::Ipv4SocketAddress(
        htonl(INADDR_LOOPBACK), static_cast<std::uint16_t>(std::atoi(PortText())));
    bool ok = connection != INVALID_SOCKET &&
              ::connect(connection, reinterpret_cast<const sockaddr*>(&lab),
                        static_cast<int>(sizeof lab)) == 0;
    for (std::size_t sent = 0; ok && sent < line.size();) {
        const int now =
            ::send(connection, line.data() + sent, static_cast<int>(line.size() - sent), 0);
        ok = now > 0;
        sent += ok ? static_cast<std::size_t>(now) : 0;
    }
    char c = 0;
    while (ok && ::recv(connection, &c, 1, 0) == 1 && c != '\n') {
        answer += c;
    }
    ::closesocket(connection);
    return ok && c == '\n';
}

} // namespace

bool Available() {
    return PortText() != nullptr;
}

std::optional<std::vector<std::string>> Call(const std::vector<std::string>& request,
                                             std::string& error) {
    std::string answer;
    if (!Available() || !Exchange(EncodeLine(request), answer)) {
        error = "the test lab did not answer " + request.front();
        return std::nullopt;
    }
    std::vector<std::string> words = DecodeLine(answer);
    if (words.empty() || words.front() != "ok") {
        error = words.size() > 1 ? words[1] : "the test lab refused " + request.front();
        return std::nullopt;
    }
    words.erase(words.begin());
    return words;
}

int CallForId(const std::vector<std::string>& request, std::string& error) {
    const auto answer = Call(request, error);
    return answer && !answer->empty() ? std::atoi(answer->front().c_str()) : 0;
}

void Release(int id) {
    std::string ignored;
    Call({"release", std::to_string(id)}, ignored);
}

std::string NamespaceWord(const NetworkNamespace* ns) {
    return ns != nullptr ? std::to_string(ns->Descriptor()) : std::string();
}

} // namespace ferrow::test::lab
