#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace ferrow {

// The web address of a listed device, scheme + "://" + IP text + ":" + port text + "/", or
// nothing when those texts (sent by any host on the network) would make anything else:
// the scheme must be "http" or "https", and the result an address of that scheme whose
// host is the IP text and whose port is the port text (empty allowed). IP texts with '@',
// '/', '\', '?', '#', whitespace, control or format characters, and ports that are not all
// ASCII digits, give nothing.
std::optional<QUrl> DeviceWebAddress(const QString& scheme, const QString& ipText,
                                     const QString& portText);

} // namespace ferrow
