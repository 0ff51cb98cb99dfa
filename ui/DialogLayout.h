#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

class QFont;

namespace ferrow {

// The dialog base units of a font: its average character width and its height in pixels,
// taken as Windows takes them (the width of "A" to "Z" and "a" to "z" over 52, rounded).
QSize DialogBaseUnits(const QFont& font);

// A rectangle in dialog units (a quarter of the base width, an eighth of the base height)
// in pixels.
QRect MapDialogRect(const QRect& dialogUnits, const QSize& baseUnits);

// Top-left corner for a dialog of the given outer size: centred on the reference window's
// rectangle (the work area when there is no reference), then moved left or up so as not
// to pass the work area's right or bottom edge, then right or down so as not to start
// before its left or top edge.
QPoint CenteredDialogPosition(const QSize& size, const std::optional<QRect>& reference,
                              const QRect& workArea);

} // namespace ferrow
