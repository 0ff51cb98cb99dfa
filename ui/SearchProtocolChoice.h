#pragma once

#include "discovery/DeviceProtocol.h"

#include <array>

namespace ferrow {

// One item of the View menu's "Search Protocols": the protocols the next searches speak.
struct SearchProtocolChoice {
    ProtocolSet protocols;
    const char* text;          // the menu item
    const char* actionName;    // its action's object name
    const char* settingsValue; // how the settings keep it
};

// The items in menu order; the first is the default.
inline constexpr std::array<SearchProtocolChoice, 3> kSearchProtocolChoices{{
    {ProtocolSet::All(), "UDP 2900 &and ONVIF", "actionSearchBothProtocols", "all"},
    {DeviceProtocol::Udp2900, "&UDP 2900 Only", "actionSearchUdp2900Only", "udp2900"},
    {DeviceProtocol::Onvif, "&ONVIF Only", "actionSearchOnvifOnly", "onvif"},
}};

// The choice kept in the user's settings (organisation and application "Ferrow", an INI
// file), or the default when none is kept or it is not one of the items.
ProtocolSet LoadSearchProtocols();
void SaveSearchProtocols(ProtocolSet protocols);

} // namespace ferrow
