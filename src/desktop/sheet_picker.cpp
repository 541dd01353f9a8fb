#include "desktop/sheet_picker.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pw {
namespace {

void toggle(QList<int>& set, int position)
{
    if (!set.removeOne(position)) {
        set.append(position);
        std::sort(set.begin(), set.end());
    }
}

}  // namespace

SheetPicker::SheetPicker(const SheetChoice& offered, QWidget* parent) : QDialog(parent), choice_(offered)
{
    setObjectName(QStringLiteral("frmSheetPicker"));
    setWindowTitle(QStringLiteral("Label sheet"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QStringLiteral("Click the labels to print on.  Labels already used on the sheet in the "
                                           "printer are greyed; choose \"Already used\" to mark them."));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    // The sheet at about a third of its size: labels 2 5/8 by 1 inch.
    auto* sheet = new QGridLayout;
    sheet->setSpacing(4);
    for (int p = 1; p <= 30; ++p) {
        auto* label = new QToolButton;
        label->setObjectName(QStringLiteral("cmdPos%1").arg(p));
        label->setText(QString::number(p));
        label->setFixedSize(84, 30);
        label->setAutoRaise(false);
        connect(label, &QToolButton::clicked, this, [this, p] { click(p); });
        sheet->addWidget(label, (p - 1) / 3, (p - 1) % 3);
        positions_[p - 1] = label;
    }
    layout->addLayout(sheet);

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
    if (markUsed_->isChecked()) {
        toggle(choice_.used, position);
        choice_.toPrint.removeOne(position);
    } else {
        toggle(choice_.toPrint, position);
        choice_.used.removeOne(position);
    }
    refresh();
}

void SheetPicker::refresh()
{
    for (int p = 1; p <= 30; ++p) {
        QToolButton* label = positions_[p - 1];
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
