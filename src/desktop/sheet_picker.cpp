#include "desktop/sheet_picker.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

namespace pw {
namespace {

// The sheet at a third of its size.
constexpr double kPixelsPerInch = 32;

void toggle(QList<int>& set, int position)
{
    if (!set.removeOne(position)) {
        set.append(position);
        std::sort(set.begin(), set.end());
    }
}

}  // namespace

SheetPicker::SheetPicker(const SheetChoice& offered, const SheetPicture& sheet, QWidget* parent)
    : QDialog(parent), choice_(offered)
{
    setObjectName(QStringLiteral("frmSheetPicker"));
    setWindowTitle(QStringLiteral("Label sheet %1").arg(sheet.stock).trimmed());
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(sheet.picksLabels
                                ? QStringLiteral("Click the labels to print on.  Labels already used on the sheet in "
                                                 "the printer are greyed; choose \"Already used\" to mark them.")
                                : QStringLiteral("Click the labels already used on the sheet in the printer.  The "
                                                 "labels of the list go on from the first free one."));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    // Each label where it lies on the page, drawn with its edge, a pixel in from their edges so that
    // labels that touch still show apart.
    auto* page = new QFrame;
    page->setFrameShape(QFrame::Box);
    page->setFixedSize((sheet.page * kPixelsPerInch).toSize());
    for (qsizetype i = 0; i < sheet.labels.size(); ++i) {
        const int p = static_cast<int>(i) + 1;
        const QRectF& at = sheet.labels[i];
        auto* label = new QToolButton(page);
        label->setObjectName(QStringLiteral("cmdPos%1").arg(p));
        label->setText(QString::number(p));
        label->setGeometry(
            QRectF(at.topLeft() * kPixelsPerInch, at.size() * kPixelsPerInch).toRect().adjusted(1, 1, -1, -1));
        label->setAutoRaise(false);
        connect(label, &QToolButton::clicked, this, [this, p] { click(p); });
        label->installEventFilter(this);
        positions_.append(label);
    }
    layout->addWidget(page, 0, Qt::AlignHCenter);

    auto* modes = new QHBoxLayout;
    auto* markPrint = new QRadioButton(QStringLiteral("&Print here"));
    markPrint->setObjectName(QStringLiteral("optPickPrint"));
    markPrint->setChecked(true);
    markUsed_ = new QRadioButton(QStringLiteral("Already &used"));
    markUsed_->setObjectName(QStringLiteral("optPickUsed"));
    auto* newSheet = new QPushButton(QStringLiteral("&New sheet"));
    newSheet->setObjectName(QStringLiteral("cmdNewSheet"));
    newSheet->setToolTip(QStringLiteral("A fresh sheet is in the printer: no label is used"));
    modes->addWidget(markPrint);
    modes->addWidget(markUsed_);
    if (!sheet.picksLabels) {
        markUsed_->setChecked(true);
        markPrint->hide();
        markUsed_->hide();
    }
    modes->addStretch();
    modes->addWidget(newSheet);
    layout->addLayout(modes);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(newSheet, &QPushButton::clicked, this, [this] {
        choice_.used.clear();
        refresh();
    });
    refresh();
}

void SheetPicker::click(int position)
{
    // The end of a drag over labels is no click of its own.
    const bool shift = std::exchange(shiftPressed_, false);
    if (std::exchange(dragged_, false))
        return;
    if (anchor_ != 0 && shift) {
        markRange(position);
        return;
    }
    toggleOne(position);
    anchor_ = position;
    refresh();
}

void SheetPicker::toggleOne(int position)
{
    if (markUsed_->isChecked()) {
        toggle(choice_.used, position);
        choice_.toPrint.removeOne(position);
    } else {
        toggle(choice_.toPrint, position);
        choice_.used.removeOne(position);
    }
}

void SheetPicker::markRange(int to)
{
    QList<int>& marked = markUsed_->isChecked() ? choice_.used : choice_.toPrint;
    QList<int>& other = markUsed_->isChecked() ? choice_.toPrint : choice_.used;
    const bool on = marked.contains(anchor_);
    for (int p = std::min(anchor_, to); p <= std::max(anchor_, to); ++p) {
        marked.removeOne(p);
        if (on) {
            marked.append(p);
            other.removeOne(p);
        }
    }
    std::sort(marked.begin(), marked.end());
    refresh();
}

int SheetPicker::positionAt(const QPointF& global) const
{
    for (qsizetype i = 0; i < positions_.size(); ++i) {
        const QToolButton* label = positions_[i];
        if (label->rect().contains(label->mapFromGlobal(global.toPoint())))
            return static_cast<int>(i) + 1;
    }
    return 0;
}

bool SheetPicker::eventFilter(QObject* watched, QEvent* event)
{
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse || !positions_.contains(watched))
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
        pressed_ = positionAt(mouse->globalPosition());
        shiftPressed_ = mouse->modifiers() & Qt::ShiftModifier;
        dragged_ = false;
    } else if (event->type() == QEvent::MouseMove && (mouse->buttons() & Qt::LeftButton) && pressed_ != 0) {
        const int over = positionAt(mouse->globalPosition());
        if (over != 0 && (over != pressed_ || dragged_)) {
            // The first label of a drag takes its mark as a click would give it; the others follow.
            if (!dragged_) {
                toggleOne(pressed_);
                anchor_ = pressed_;
                dragged_ = true;
            }
            markRange(over);
        }
    } else if (event->type() == QEvent::MouseButtonRelease && dragged_) {
        // Released off the first label, the drag ends with no click to swallow.
        if (positionAt(mouse->globalPosition()) != pressed_)
            dragged_ = false;
    }
    return QDialog::eventFilter(watched, event);
}

void SheetPicker::refresh()
{
    for (qsizetype i = 0; i < positions_.size(); ++i) {
        const int p = static_cast<int>(i) + 1;
        QToolButton* label = positions_[i];
        const bool print = choice_.toPrint.contains(p);
        const bool used = choice_.used.contains(p);
        label->setText(used ? QStringLiteral("%1 used").arg(p) : QString::number(p));
        label->setStyleSheet(print  ? QStringLiteral("background: #2f6fc0; color: white; font-weight: bold;")
                             : used ? QStringLiteral("background: #c8c8c8; color: #606060;")
                                    : QStringLiteral("background: white; color: black;"));
        label->setToolTip(print ? QStringLiteral("Prints here") : used ? QStringLiteral("Used") : QStringLiteral("Free"));
    }
}

}  // namespace pw
