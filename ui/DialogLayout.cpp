#include "ui/DialogLayout.h"

#include "ui/MulDiv.h"

#include <QFont>
#include <QFontMetrics>

namespace ferrow {

QSize DialogBaseUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

QRect MapDialogRect(const QRect& dialogUnits, const QSize& baseUnits) {
    const int left = MulDiv(dialogUnits.x(), baseUnits.width(), 4);
    const int top = MulDiv(dialogUnits.y(), baseUnits.height(), 8);
    const int right = MulDiv(dialogUnits.x() + dialogUnits.width(), baseUnits.width(), 4);
    const int bottom = MulDiv(dialogUnits.y() + dialogUnits.height(), baseUnits.height(), 8);
    return {left, top, right - left, bottom - top};
}

QPoint CenteredDialogPosition(const QSize& size, const std::optional<QRect>& reference,
                              const QRect& workArea) {
    // Edges as Windows keeps them: right and bottom just past the last pixel.
    const QRect centre = reference.value_or(workArea);
    const int centreRight = centre.x() + centre.width();
    const int centreBottom = centre.y() + centre.height();
    int left = (centre.x() + centreRight) / 2 - size.width() / 2;
    int top = (centre.y() + centreBottom) / 2 - size.height() / 2;

    const int areaRight = workArea.x() + workArea.width();
    const int areaBottom = workArea.y() + workArea.height();
    if (left + size.width() > areaRight) {
        left = areaRight - size.width();
    }
    if (top + size.height() > areaBottom) {
        top = areaBottom - size.height();
    }
    if (left < workArea.x()) {
        left = workArea.x();
    }
    if (top < workArea.y()) {
        top = workArea.y();
    }
    return {left, top};
}

} // namespace ferrow
