#include "list/tab_stop_delegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>

namespace pw {

TabStopDelegate::TabStopDelegate(double quarterWidth, QObject* parent)
    : QStyledItemDelegate(parent), quarter_(quarterWidth)
{
}

QList<TabStopDelegate::Piece> TabStopDelegate::layOut(const QString& line, const QFontMetricsF& metrics) const
{
    QList<Piece> pieces;
    const double blank = metrics.horizontalAdvance(u' ');
    double end = 0;
    int at = 0;
    for (QStringView piece : QStringView(line).split(u'\t')) {
        // The blanks that padded a field for a fixed-width font would only push the text about here.
        QString text = piece.toString().simplified();
        const double x = at == 0 ? 0 : std::max(at < 7 ? column(at) : 0, end + blank);
        end = x + metrics.horizontalAdvance(text);
        pieces.append({std::move(text), x});
        ++at;
    }
    return pieces;
}

QString TabStopDelegate::headerLine(const QStringList& headings, const QFontMetricsF& metrics, double originShift) const
{
    QString line;
    for (int at = 0; at < headings.size() && at < 7; ++at) {
        // The blank that brings the heading nearest its column.
        const double target = column(at) + originShift;
        const double blank = metrics.horizontalAdvance(u' ');
        while (metrics.horizontalAdvance(line) + blank / 2 < target)
            line += u' ';
        if (at > 0 && !line.endsWith(u' '))
            line += u' ';
        line += headings[at];
    }
    return line;
}

void TabStopDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString text = opt.text;
    opt.text.clear();
    QStyle* style = opt.widget ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);

    painter->save();
    painter->setFont(opt.font);
    const bool selected = opt.state & QStyle::State_Selected;
    painter->setPen(opt.palette.color(QPalette::Normal, selected ? QPalette::HighlightedText : QPalette::Text));
    const QFontMetricsF metrics(opt.font);
    const double left = opt.rect.left() + kPadding;
    const double baseline = opt.rect.top() + (opt.rect.height() - metrics.height()) / 2 + metrics.ascent();
    for (const Piece& piece : layOut(text, metrics))
        painter->drawText(QPointF(left + piece.x, baseline), piece.text);
    painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    // Every row is as high as the font and as wide as the columns, so that the view need not
    // measure its rows one by one.
    const QFontMetricsF metrics(option.font);
    const double width = column(7);
    return QSize(qCeil(width) + 2 * kPadding, qCeil(metrics.height()) + kPadding);
}

}  // namespace pw
