// The entry area's media and label positions: label stock with its positions typed or picked on
// the sheet's picture, an envelope with its size, and the return-address mode.
#include "shell/label_entry.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/envelopes.h"
#include "printing/sheet_positions.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace pw {

void LabelEntry::showLabelStock()
{
    optPortrait_->setChecked(true);
    hideEnvelopeBoxes();
    frFeatures_->show();
    cboLMEnvelope_->hide();
    lblLMPosition_->clear();
    pickedPositions_.clear();
}

void LabelEntry::chooseOnSheet()
{
    const LabelStock& stock = labelSheetStock();
    const QList<int> used = usedPositions(platform_, stock);
    QList<int> offer = !pickedPositions_.isEmpty() ? pickedPositions_ : shownRangePositions();
    offer.removeIf([&used](int p) { return used.contains(p); });
    if (offer.isEmpty() && firstFreePosition(used) > 0)
        offer = {firstFreePosition(used)};
    const std::optional<SheetChoice> choice =
        platform_.pickSheetPositions({offer, used}, {stock.name, stock.outlines()});
    if (!choice)
        return;
    setUsedPositions(platform_, stock, choice->used);
    if (choice->toPrint.isEmpty())
        return;

    showLabelStock();
    optLMLabel_->setChecked(true);
    // One unbroken run is what the position entry would have taken, so it prints as typed.
    const QString entry = rangeEntryFor(choice->toPrint);
    if (!entry.isEmpty()) {
        positionRange_.text = entry;
        positionRange_.start = entry;
        parseRange(positionRange_);
    } else {
        pickedPositions_ = choice->toPrint;
        positionRange_.text = positionsText(pickedPositions_);
    }
    lblLMPosition_->setText(QStringLiteral("Label Position ") + positionRange_.text);
    lblLMPosition_->show();
    cmdLMStart_->setFocus();
}

QList<int> LabelEntry::shownRangePositions() const
{
    if (lblLMPosition_->isHidden() || lblLMPosition_->text().isEmpty())
        return {};
    PositionRange range = positionRange_;
    range.start = range.text;
    if (parseRange(range) != RangeParse::Ok)
        return {};
    return rangePositions(static_cast<int>(numericValue(range.start)), range.count);
}

void LabelEntry::enterLabelPosition()
{
    showLabelStock();

    askLabelPositions(platform_, positionRange_, firstFreeOrNewSheet(platform_, labelSheetStock()));
    // A start below 1 names no label, like an empty entry; printing it would use a stale place.
    if (numericValue(positionRange_.start) >= 1) {
        lblLMPosition_->setText(QStringLiteral("Label Position ") + positionRange_.text);
        lblLMPosition_->show();
        cmdLMStart_->setFocus();
        return;
    }
    lblLMPosition_->hide();
    lblLMPosition_->clear();
    unselectMedia();
    setLabelPlaceFields(LabelPlace{});
}

bool LabelEntry::confirmUsedPositions(const TypedJob& job)
{
    const QList<int> used = usedAmong(platform_, labelSheetStock(), job.positions);
    return used.isEmpty() || platform_.message(usedPositionsQuestion(used)) == MessageResult::Yes;
}

QList<QRectF> LabelEntry::usedOutlines(const TypedJob& job)
{
    // Only a label sheet has positions; its outlines are numbered as they are.
    if (job.positions.isEmpty() || job.outlines.size() != kSheetPositions)
        return {};
    QList<QRectF> used;
    for (int p : usedPositions(platform_, labelSheetStock()))
        used.append(job.outlines[p - 1]);
    return used;
}

void LabelEntry::chooseEnvelope()
{
    optLandscape_->setChecked(true);
    cboLMEnvelope_->show();
    lblLMPosition_->clear();
    lblLMPosition_->hide();
    chkBold_->show();
    chkLargeFont_->show();
    showEnvelopeReturn(true);
    frFeatures_->hide();
    envelopeSizeCode_ = cboLMEnvelope_->currentIndex() + 1;
    if (auto place = envelopePlace(envelopeSizeCode_))
        setLabelPlaceFields(*place);
    focusFirstLine();
}

void LabelEntry::chooseEnvelopeSize(int index)
{
    envelopeSizeCode_ = index + 1;
    if (auto place = envelopePlace(envelopeSizeCode_))
        setLabelPlaceFields(*place);
    chkBold_->show();
    chkLargeFont_->show();
    cmdLMStart_->setFocus();
}

void LabelEntry::setReturnAddressMode(bool on)
{
    cmdRetAddress_->setVisible(on);
    cmdLMStart_->setVisible(!on);
    // The sheet picture chooses positions of address labels, which a return-address sheet has not.
    cmdLMSheet_->setEnabled(!on);
    optLMLabel_->setEnabled(!on);
    optLMEnvelope_->setEnabled(!on);
    for (QCheckBox* style : {chkLblBold_, chkLblItalic_}) {
        style->setChecked(false);
        style->setEnabled(!on);
    }
}

void LabelEntry::unselectMedia()
{
    // The pair may stand with neither selected, which its own exclusivity would not allow.
    for (QRadioButton* option : {optLMLabel_, optLMEnvelope_}) {
        option->setAutoExclusive(false);
        option->setChecked(false);
        option->setAutoExclusive(true);
    }
}

}  // namespace pw
