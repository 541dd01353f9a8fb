#include "list/tab_stop_delegate.h"

#include <QApplication>
#include <QFontMetricsF>
#include <QPainter>

namespace pw {
namespace {

constexpr int kPadding = 2;

}  // namespace

TabStopDelegate::TabStopDelegate(double quarterWidth, QObject* parent)
    : QStyledItemDelegate(parent), quarter_(quarterWidth)
{
}

double TabStopDelegate::tabFrom(double x, double blank) const
{
    for (int stop : stops_) {
        if (stop * quarter_ > x)
            return stop * quarter_;
    }
    return x + blank;
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
    const double blank = metrics.horizontalAdvance(u' ');
    const double left = opt.rect.left() + kPadding;
    const double baseline = opt.rect.top() + (opt.rect.height() - metrics.height()) / 2 + metrics.ascent();
    double x = 0;
    bool first = true;
    for (QStringView piece : QStringView(text).split(u'\t')) {
        if (!first)
            x = tabFrom(x, blank);
        first = false;
        painter->drawText(QPointF(left + x, baseline), piece.toString());
        x += metrics.horizontalAdvance(piece.toString());
    }
    painter->restore();
}

QSize TabStopDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    // Every row is as high as the font and as wide as the stops and a long e-mail address after
    // them, so that the view need not measure its rows one by one.
    const QFontMetricsF metrics(option.font);
    const double width = stops_.back() * quarter_ + 52 * 4 * quarter_;
    return QSize(qCeil(width) + 2 * kPadding, qCeil(metrics.height()) + kPadding);
}

}  // namespace pw
