#pragma once

#include <cstdint>
#include <string>

namespace ferrow {

// The address in network byte order, as inet_addr reads it; 0xFFFFFFFF (INADDR_NONE)
// when the text is no address.
std::uint32_t Ipv4FromText(const std::string& text);

// Dotted-decimal text of an address in network byte order, as inet_ntoa writes it.
std::string Ipv4ToText(std::uint32_t networkOrder);

} // namespace ferrow
