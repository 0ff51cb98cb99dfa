#pragma once

#include <QSplitter>
#include <optional>

namespace ferrow {

// The scale of the stored share of the left pane.
inline constexpr int kProportionScale = 10000;

// The bar's offset from the left edge for a share of the width left beside the bar;
// nothing when that width is 0 or less, so the bar stays where it is.
std::optional<int> ProportionalBarPosition(int proportion, int availableWidth);

// The share that a bar dragged to the given offset stands for.
int ProportionOfBarPosition(int position, int availableWidth);

// Two panes side by side whose bar keeps its share of the width on every resize; the
// user's drag stores a new share. In single-pane mode only the right pane is shown.
class ProportionalSplitter : public QSplitter {
    Q_OBJECT

public:
    explicit ProportionalSplitter(QWidget* parent = nullptr);

    void SetSplitterPanes(QWidget* left, QWidget* right);
    void SetSplitterPosPct(int percent);
    int Proportion() const { return m_proportion; }

    void SetRightPaneOnly(bool rightOnly);
    bool IsRightPaneOnly() const { return m_rightOnly; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int AvailableWidth() const;
    void ApplyProportion();
    void StoreDraggedPosition(int position);

    int m_proportion = kProportionScale / 2;
    bool m_rightOnly = false;
};

} // namespace ferrow
