// The all-contacts window's label commands: the label stock they print on, the picture of its sheet
// in the printer, and the preview of the list's labels on it.
#include "data/contacts_file.h"
#include "list/contact_line_model.h"
#include "list/contact_list_window.h"
#include "list/list_labels.h"
#include "list/mailing_order.h"
#include "platform/platform.h"
#include "printing/sheet_positions.h"
#include "printing/stock_catalogue.h"
#include "printing/typed_job.h"
#include "program/app_files.h"
#include "widgets/named_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pw {
namespace {

// The stock last chosen, kept for the next opening of the window.
const QString kApplication = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("Settings");
const QString kStockKey = QStringLiteral("ListLabelStock");

}  // namespace

QLayout* ContactListWindow::buildLabelStockChoice()
{
    cboLabelStock_ = named<QComboBox>("cboLabelStock");
    for (const LabelStock& stock : installedStocks())
        cboLabelStock_->addItem(stock.caption, stock.name);
    cboLabelStock_->setToolTip(QStringLiteral("The label sheet the list's labels print on: type its maker, part "
                                              "or size to find it"));
    // Typing a part, a maker or a size finds the stock among the many a sheet may be.
    cboLabelStock_->setEditable(true);
    cboLabelStock_->setInsertPolicy(QComboBox::NoInsert);
    // The text typed is looked up when it is done with (Enter, or the focus leaving); the combo
    // box's own completion, which finds only the beginnings of captions, is off.
    cboLabelStock_->setCompleter(nullptr);
    connect(cboLabelStock_->lineEdit(), &QLineEdit::editingFinished, this, &ContactListWindow::findTypedStock);
    // The stock last chosen; at first the one of the paper where the person lives.
    const QString last = platform().readSetting(kApplication, kSection, kStockKey);
    const LabelStock* chosen = findStock(installedStocks(), last).stock;
    if (last.isEmpty())
        chosen = &homeListStock(installedStocks(), QLocale::system());
    if (chosen)
        cboLabelStock_->setCurrentIndex(cboLabelStock_->findData(chosen->name));
    connect(cboLabelStock_, &QComboBox::currentIndexChanged, this, [this] {
        platform().writeSetting(kApplication, kSection, kStockKey, chosenStock().name);
        startAfterUsedLabels();
    });
    startAfterUsedLabels();
    auto* caption = named<QLabel>("lblLabelStock", QStringLiteral("Label stoc&k:"));
    caption->setBuddy(cboLabelStock_);

    cmdLabelSheet_ = namedWithTip<QPushButton>("cmdLabelSheet", QStringLiteral("Shee&t..."),
                                               QStringLiteral("Mark the labels already used on the sheet in the "
                                                              "printer"));
    cmdPreviewLabels_ = namedWithTip<QPushButton>("cmdPreviewLabels", QStringLiteral("Pre&view labels"),
                                                  QStringLiteral("Show the labels on the sheet before printing"));
    cmdPreviewLabels_->setEnabled(false);
    connect(cmdLabelSheet_, &QPushButton::clicked, this, &ContactListWindow::markUsedLabels);
    connect(cmdPreviewLabels_, &QPushButton::clicked, this, &ContactListWindow::previewLabels);

    auto* layout = new QVBoxLayout;
    layout->addWidget(cmdPreviewLabels_);
    layout->addWidget(caption);
    layout->addWidget(cboLabelStock_);
    layout->addWidget(chkFreeStart_);
    layout->addWidget(cmdLabelSheet_);
    return layout;
}

const LabelStock& ContactListWindow::chosenStock() const
{
    const LabelStock* stock = findStock(installedStocks(), cboLabelStock_->currentData().toString()).stock;
    return stock ? *stock : labelSheetStock();
}

void ContactListWindow::findTypedStock()
{
    const QString typed = cboLabelStock_->lineEdit()->text();
    if (typed == cboLabelStock_->itemText(cboLabelStock_->currentIndex()))
        return;
    // What names no stock, or several, gives the stock chosen before back.
    if (const LabelStock* found = findStock(installedStocks(), typed).stock)
        cboLabelStock_->setCurrentIndex(cboLabelStock_->findData(found->name));
    cboLabelStock_->lineEdit()->setText(cboLabelStock_->itemText(cboLabelStock_->currentIndex()));
}

std::optional<Mailing> ContactListWindow::listedMailing()
{
    std::vector<int> records;
    records.reserve(model_->lines().size());
    for (const ContactLine& line : model_->lines())
        records.push_back(line.record());
    auto mailing = readMailing(platform(), contacts_, records,
                               {chkHouseholds_->isChecked(), chkZipOrder_->isChecked(), chkCompleteOnly_->isChecked()},
                               listedAt_);
    if (mailing)
        return std::move(*mailing);
    if (contacts_.follows() != listedAt_) {
        // The list is of a file no longer there: Get report lists the one in its place.
        model_->clear();
        lblTotContacts_->clear();
        cmdPrintLabels_->setEnabled(false);
        cmdPreviewLabels_->setEnabled(false);
        mnuPrint_->setEnabled(false);
        cmdACGetReport_->setEnabled(true);
        focusAfterDialog(cmdACGetReport_);
    } else if (mailing.error() == MessageResult::Cancel) {
        closeTo(ListExit::Failure);
    } else {
        focusAfterDialog(cmdViewAllClose_);
    }
    return std::nullopt;
}

void ContactListWindow::startAfterUsedLabels()
{
    // A sheet in the printer with labels marked used is gone on with, never printed over unasked.
    chkFreeStart_->setChecked(!usedPositions(platform(), chosenStock()).isEmpty());
}

int ContactListWindow::firstLabel(const LabelStock& stock)
{
    // A partly used sheet in the printer goes on from its first free label, when asked to.
    return chkFreeStart_->isChecked() ? firstFreeOrNewSheet(platform(), stock) : 1;
}

void ContactListWindow::previewLabels()
{
    const LabelStock& stock = chosenStock();
    const auto [bold, italic] = labelStyle_ ? labelStyle_() : std::pair{false, false};
    std::optional<Mailing> mailing = listedMailing();
    if (!mailing)
        return;
    const auto job = listLabelJob(platform(), std::move(mailing->labels),
                                  applicationFile(platform(), kParameterFileName), bold, italic, firstLabel(stock),
                                  stock);
    if (!job) {
        focusAfterDialog(cmdViewAllClose_);
        return;
    }
    // The labels already used on the sheet in the printer show shaded, so that printing over them
    // is seen before it happens.
    QList<QRectF> used;
    for (int p : usedPositions(platform(), stock))
        used.append(job->outlines[p - 1]);
    platform().printPreview(job->run, job->outlines, overrunOutlines(job->overflows), used, [this] { printLabels(); });
    focusAfterDialog(cmdViewAllClose_);
}

void ContactListWindow::markUsedLabels()
{
    const LabelStock& stock = chosenStock();
    const std::optional<SheetChoice> choice =
        platform().pickSheetPositions({{}, usedPositions(platform(), stock)},
                                      {stock.name, stock.outlines(), false, stock.page});
    if (choice) {
        setUsedPositions(platform(), stock, choice->used);
        // The person has just said which labels are used: the list goes on after them.
        chkFreeStart_->setChecked(true);
    }
    focusAfterDialog(cmdPrintLabels_->isEnabled() ? cmdPrintLabels_ : cmdViewAllClose_);
}

}  // namespace pw
