#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace ferrow {

// The web address of a listed recorder, "http://" + IP text + ":" + port text + "/", or
// nothing when those texts (sent by any host on the network) would make anything else:
// the result must be an http address whose host is the IP text and whose port is the
// port text (empty allowed). IP texts with '@', '/', '\', '?', '#', whitespace, control
// or format characters, and ports that are not all ASCII digits, give nothing.
std::optional<QUrl> DeviceWebAddress(const QString& ipText, const QString& portText);

} // namespace ferrow
