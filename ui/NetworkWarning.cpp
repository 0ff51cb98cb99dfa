#include "ui/NetworkWarning.h"

namespace ferrow {

QString OtherNetworkWarning(const DeviceRow& row) {
    const SubnetCheck check = CheckLocalSubnet(row);
    if (!check.Outside()) {
        return {};
    }
    const QString device = QString::fromStdString(check.device.Text());
    const QString local = QString::fromStdString(check.local.Text());
    return QStringLiteral("This device is in network %1; this computer's address %2 is in "
                          "network %3. Its web page cannot open until this computer has an "
                          "address in %1 or the device gets one in %3.")
        .arg(device, QString::fromStdU16String(row.localAddress), local);
}

} // namespace ferrow
