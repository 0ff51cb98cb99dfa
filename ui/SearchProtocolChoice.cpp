#include "ui/SearchProtocolChoice.h"

#include <QSettings>
#include <QString>
#include <algorithm>

namespace ferrow {
namespace {

const QString kSearchProtocolsKey = QStringLiteral("Search/Protocols");

// The default format rather than the native one, so that tests can keep theirs apart
// (QSettings::setDefaultFormat and setPath); a program that sets neither gets the native.
QSettings UserSettings() {
    return QSettings(QSettings::defaultFormat(), QSettings::UserScope, QStringLiteral("Ferrow"),
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
