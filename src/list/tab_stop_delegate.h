#pragma once

#include <QStyledItemDelegate>

#include <array>

class QFontMetricsF;

namespace pw {

// Draws a list line with each tab-separated piece at its own column, so that the columns stay
// straight in a proportional font whatever the width of the text before them. Columns are given
// in quarters of the average character width of the list's font.
class TabStopDelegate final : public QStyledItemDelegate {
    Q_OBJECT

public:
    // `quarterWidth`: a quarter of the font's average character width, in pixels.
    TabStopDelegate(double quarterWidth, QObject* parent = nullptr);

    // Where the second to the seventh piece of a line begin, and where the last column ends.
    void setColumns(const std::array<int, 7>& quarters) { columns_ = quarters; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

    // The pieces of a line as drawn (padding blanks dropped) and the x of each, in pixels from the
    // line's text origin: its column, or one blank after a piece too long for the one before.
    struct Piece final {
        QString text;
        double x;
    };
    QList<Piece> layOut(const QString& line, const QFontMetricsF& metrics) const;

    // The headings in another font, each moved by blanks to where `originShift` (pixels from the
    // header's text origin to the list's) puts the column of its piece.
    QString headerLine(const QStringList& headings, const QFontMetricsF& metrics, double originShift) const;

    // Pixels from a line's item rectangle to its text origin.
    static constexpr int kPadding = 2;

private:
    double column(int piece) const { return piece == 0 ? 0 : columns_[piece - 1] * quarter_; }

    double quarter_;
    std::array<int, 7> columns_{};
};

}  // namespace pw
