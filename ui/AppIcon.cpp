#include "ui/AppIcon.h"

#include <QString>

// The icons are compiled into this static library; registering them here keeps the
// linker from dropping them.
static void RegisterFerrowResources() {
    Q_INIT_RESOURCE(ferrow);
}

namespace ferrow {

QIcon ApplicationIcon() {
    static const bool registered = (RegisterFerrowResources(), true);
    static_cast<void>(registered);
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128}) {
        icon.addFile(QStringLiteral(":/icons/ferrow-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace ferrow
