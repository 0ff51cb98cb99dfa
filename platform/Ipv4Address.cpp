#include "platform/Ipv4Address.h"

#include "platform/SocketApi.h"

namespace ferrow {

std::uint32_t Ipv4FromText(const std::string& text) {
    return socket_api::InetAddr(text.c_str());
}

std::string Ipv4ToText(std::uint32_t networkOrder) {
    const std::uint32_t host = ntohl(networkOrder);
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        text += std::to_string((host >> shift) & 0xFFu);
        if (shift > 0) {
            text += '.';
        }
    }
    return text;
}

} // namespace ferrow
