#pragma once

#include <QStyledItemDelegate>

#include <array>

namespace pw {

// Draws a list line with its tab characters expanded to tab stops, each stop given in quarters of
// the average character width of the list's font, as the layouts of the list were measured.
class TabStopDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    // `quarterWidth`: a quarter of the font's average character width, in pixels.
    TabStopDelegate(double quarterWidth, QObject* parent = nullptr);

    void setTabStops(const std::array<int, 7>& quarters) { stops_ = quarters; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // Where a tab from `x` (pixels from the line's start) moves the text: the first stop to the
    // right of x; past the last stop, one blank further on.
    double tabFrom(double x, double blank) const;

private:
    double quarter_;
    std::array<int, 7> stops_{};
};

}  // namespace pw
