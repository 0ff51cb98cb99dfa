#include "ui/ProportionalSplitter.h"

#include "ui/MulDiv.h"

#include <QResizeEvent>

namespace ferrow {

std::optional<int> ProportionalBarPosition(int proportion, int availableWidth) {
    if (availableWidth <= 0) {
        return std::nullopt;
    }
    return MulDiv(proportion, availableWidth, kProportionScale);
}

int ProportionOfBarPosition(int position, int availableWidth) {
    return MulDiv(position, kProportionScale, availableWidth);
}

ProportionalSplitter::ProportionalSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent) {
    setChildrenCollapsible(false);
    connect(this, &QSplitter::splitterMoved, this,
            [this](int position, int) { StoreDraggedPosition(position); });
}

void ProportionalSplitter::SetSplitterPanes(QWidget* left, QWidget* right) {
    addWidget(left);
    addWidget(right);
    ApplyProportion();
}

void ProportionalSplitter::SetSplitterPosPct(int percent) {
    m_proportion = percent * (kProportionScale / 100);
    ApplyProportion();
}

void ProportionalSplitter::SetRightPaneOnly(bool rightOnly) {
    if (count() < 2 || rightOnly == m_rightOnly) {
        return;
    }
    m_rightOnly = rightOnly;
    widget(0)->setVisible(!rightOnly);
    refresh(); // lay the panes out now, not when the layout request comes round
    ApplyProportion();
}

void ProportionalSplitter::resizeEvent(QResizeEvent* event) {
    QSplitter::resizeEvent(event);
    ApplyProportion();
}

int ProportionalSplitter::AvailableWidth() const {
    return width() - handleWidth();
}

void ProportionalSplitter::ApplyProportion() {
    if (count() < 2 || m_rightOnly) {
        return;
    }
    const int available = AvailableWidth();
    if (const auto position = ProportionalBarPosition(m_proportion, available)) {
        setSizes({*position, available - *position});
    }
}

void ProportionalSplitter::StoreDraggedPosition(int position) {
    const int available = AvailableWidth();
    if (available > 0) {
        m_proportion = ProportionOfBarPosition(position, available);
    }
}

} // namespace ferrow
