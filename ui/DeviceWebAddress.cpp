#include "ui/DeviceWebAddress.h"

#include <QStringView>
#include <algorithm>

namespace ferrow {

namespace {

bool IsUnsafeHostCharacter(QChar c) {
    if (c.isSpace() || c.category() == QChar::Other_Control ||
        c.category() == QChar::Other_Format) {
        return true;
    }
    return QStringView(u"@/\\?#").contains(c);
}

bool IsAsciiDigits(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

std::optional<QUrl> DeviceWebAddress(const QString& scheme, const QString& ipText,
                                     const QString& portText) {
    // Only the two web schemes: any other would hand the browser, or whatever program the
    // desktop picks for it, a kind of address that a host on the network chose.
    if ((scheme != QLatin1String("http") && scheme != QLatin1String("https")) || ipText.isEmpty() ||
        std::any_of(ipText.begin(), ipText.end(), IsUnsafeHostCharacter) ||
        !IsAsciiDigits(portText)) {
        return std::nullopt;
    }
    const QUrl url(QStringLiteral("%1://%2:%3/").arg(scheme, ipText, portText), QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != scheme || !url.userInfo().isEmpty() ||
        url.path() != QLatin1String("/") || url.hasQuery() || url.hasFragment()) {
        return std::nullopt;
    }
    // The parser normalises the host (letter case, forms such as "1.2.3" or "0x7f.1"); a
    // host that reads differently from the listed text is refused.
    if (url.host().compare(ipText, Qt::CaseInsensitive) != 0) {
        return std::nullopt;
    }
    const int expectedPort = portText.isEmpty() ? -1 : portText.toInt();
    if (url.port() != expectedPort) {
        return std::nullopt;
    }
    return url;
}

} // namespace ferrow
