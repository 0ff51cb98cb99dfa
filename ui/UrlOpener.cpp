#include "ui/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace ferrow {

bool DesktopUrlOpener::Open(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}

} // namespace ferrow
