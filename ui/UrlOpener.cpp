#include "ui/UrlOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace ferrow {

void DesktopUrlOpener::Open(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

} // namespace ferrow
