#include "ui/SearchProtocolChoice.h"

#include <QSettings>
#include <QString>
#include <algorithm>

namespace ferrow {
namespace {

const QString kSearchProtocolsKey = QStringLiteral("Search/Protocols");

// An INI file on every platform, not the registry on Windows: opening a registry key
// creates it, so a window that was only opened and closed would leave a trace. Tests keep
// theirs apart with QSettings::setPath.
QSettings UserSettings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Ferrow"),
                     QStringLiteral("Ferrow"));
}

} // namespace

ProtocolSet LoadSearchProtocols() {
    const QString kept = UserSettings().value(kSearchProtocolsKey).toString();
    const auto choice = std::find_if(kSearchProtocolChoices.begin(), kSearchProtocolChoices.end(),
                                     [&kept](const SearchProtocolChoice& item) {
                                         return QLatin1String(item.settingsValue) == kept;
                                     });
    return choice != kSearchProtocolChoices.end() ? choice->protocols
                                                  : kSearchProtocolChoices.front().protocols;
}

void SaveSearchProtocols(ProtocolSet protocols) {
    for (const SearchProtocolChoice& choice : kSearchProtocolChoices) {
        if (choice.protocols == protocols) {
            UserSettings().setValue(kSearchProtocolsKey, QLatin1String(choice.settingsValue));
            return;
        }
    }
}

} // namespace ferrow
