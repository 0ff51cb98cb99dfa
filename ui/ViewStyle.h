#pragma once

class QWidget;

namespace ferrow {

// Gives the view's selection the same colours with and without the focus, so that the
// selected node or row stays plainly visible while another pane has the focus.
void KeepSelectionVisibleWithoutFocus(QWidget* view);

} // namespace ferrow
