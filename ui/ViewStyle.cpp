#include "ui/ViewStyle.h"

#include <QPalette>
#include <QWidget>

namespace ferrow {

void KeepSelectionVisibleWithoutFocus(QWidget* view) {
    QPalette colours = view->palette();
    for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    }
    view->setPalette(colours);
}

} // namespace ferrow
