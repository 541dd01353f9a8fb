// The entry area's print commands: the controls are read into a request, the job is built from it.
#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/envelope_check.h"
#include "printing/envelopes.h"
#include "printing/print_action.h"
#include "printing/print_surface.h"
#include "printing/return_address.h"
#include "printing/sheet_positions.h"
#include "program/app_files.h"
#include "shell/label_entry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace pw {

std::optional<MarginSettings> LabelEntry::readCorrections()
{
    return correctionsForPrint(platform_, applicationFile(platform_, kParameterFileName));
}

std::optional<TypedJobRequest> LabelEntry::typedRequest()
{
    // The corrections are read before any check, so that a broken file is reported first.
    const std::optional<MarginSettings> margins = readCorrections();
    if (!margins)
        return std::nullopt;
    const LabelLines typed = lines();
    TypedJobRequest request;
    request.lines = QStringList(typed.begin(), typed.end());
    const Media media = optLMLabel_->isChecked()      ? Media::Labels
                        : optLMEnvelope_->isChecked() ? Media::Envelope
                                                      : Media::None;
    const Alignment alignment = optLMLeftjust_->isChecked() ? Alignment::Left
                                : optLMCenter_->isChecked() ? Alignment::Centred
                                                            : Alignment::None;
    if (auto problem = onTheFlyFormProblem(request.lines, media, envelopeSizeCode_, alignment)) {
        platform_.message(*problem);
        return std::nullopt;
    }
    request.centred = alignment == Alignment::Centred;
    request.corrections = *margins;
    request.deviceName = platform_.printer().deviceName();
    if (media == Media::Envelope) {
        request.stock = TypedStock::Envelope;
        request.bold = chkBold_->isChecked();
        request.largeFont = chkLargeFont_->isChecked();
        request.envelopeSize = envelopeSizeCode_;
        request.place = labelPlaceFields();
        request.envelopePaper = platform_.printer().takesPaper(envelopeInches(envelopeSizeCode_));
        request.returnAddress = returnAddressToPrint();
        return request;
    }

    if (pickedPositions_.isEmpty() && !lblLMPosition_->isHidden() && !lblLMPosition_->text().isEmpty()) {
        if (auto problem = reparsePositionRange(positionRange_)) {
            platform_.message(*problem);
            return std::nullopt;
        }
        const double start = numericValue(positionRange_.start);
        if (auto place = LabelPositionTable::place(start, chkLblBold_->isChecked(), request.deviceName))
            setLabelPlaceFields(*place);
    }
    request.stock = TypedStock::Labels;
    request.bold = chkLblBold_->isChecked();
    request.italic = chkLblItalic_->isChecked();
    request.portrait = optPortrait_->isChecked();
    request.start = numericValue(positionRange_.start);
    request.count = positionRange_.count;
    request.positions = pickedPositions_;
    request.place = labelPlaceFields();
    return request;
}

std::optional<TypedJobRequest> LabelEntry::returnAddressRequest(const MarginSettings& margins)
{
    const LabelLines typed = lines();
    TypedJobRequest request;
    request.lines = QStringList(typed.begin(), typed.end());
    const ReturnLinesProblem problem = returnLinesProblem(request.lines);
    if (problem != ReturnLinesProblem::None) {
        platform_.message(returnLinesMessage(problem));
        if (problem == ReturnLinesProblem::NoLines)
            setReturnAddressMode(true);
        else
            txtLMLine_[3]->setFocus();
        return std::nullopt;
    }
    request.stock = TypedStock::ReturnAddresses;
    request.centred = optLMCenter_->isChecked();
    request.italic = chkLblItalic_->isChecked();
    request.corrections = margins;
    request.deviceName = platform_.printer().deviceName();
    return request;
}

std::optional<TypedJob> LabelEntry::printJob(const TypedJobRequest& request)
{
    TypedJob job = buildTypedJob(request, platform_.printer().measure());
    if (job.refusal) {
        platform_.message(*job.refusal);
        return std::nullopt;
    }
    if (!job.offEnvelope.isEmpty() && platform_.message(offEnvelopeQuestion(job.offEnvelope)) != MessageResult::Yes)
        return std::nullopt;
    if (!job.shiftNote.isEmpty() && platform_.message(correctionShiftQuestion(job.shiftNote)) != MessageResult::Yes)
        return std::nullopt;
    if (!job.overflows.isEmpty() && platform_.message(overflowQuestion(job.overflows)) != MessageResult::Yes)
        return std::nullopt;
    if (!confirmUsedPositions(job))
        return std::nullopt;
    const PrintOutcome outcome = printCopies(platform_, job.dialog, job.run);
    if (outcome != PrintOutcome::Cancelled)
        afterJobRan(request.stock);
    if (outcome != PrintOutcome::Printed)
        return std::nullopt;
    return job;
}

void LabelEntry::afterJobRan(TypedStock stock)
{
    // A job on a label sheet leaves the envelope's Bold box unchecked and hidden.
    if (stock != TypedStock::Envelope)
        hideEnvelopeBold();
}

void LabelEntry::print()
{
    const std::optional<TypedJobRequest> request = typedRequest();
    if (!request)
        return;
    const std::optional<TypedJob> printed = printJob(*request);
    // The sheet in the printer now has these labels used; the picture offers the next free ones.
    if (printed)
        rememberPrinted(platform_, labelSheetStock(), printed->positions);
}

void LabelEntry::printReturnAddresses()
{
    const std::optional<MarginSettings> margins = readCorrections();
    if (!margins)
        return;
    for (;;) {
        platform_.message(returnAddressStockMessage());
        const std::optional<TypedJobRequest> request = returnAddressRequest(*margins);
        if (!request || !printJob(*request))
            return;
        rememberReturnLabelRun(platform_, request->lines.mid(0, 3));
        cmdRetAddress_->hide();
        cmdLMStart_->show();
        if (platform_.message(anotherReturnPageQuestion()) != MessageResult::Yes)
            break;
    }
    setReturnAddressMode(false);
    cmdRetAddress_->hide();
    cmdLMStart_->show();
    optLMLeftjust_->setChecked(true);
}

void LabelEntry::preview()
{
    // In return-address mode, Print means the sheet of return-address labels.
    if (!cmdRetAddress_->isHidden()) {
        previewReturnAddresses();
        return;
    }
    if (const std::optional<TypedJobRequest> request = typedRequest())
        showPreview(*request, [this] { print(); });
}

void LabelEntry::previewReturnAddresses()
{
    const std::optional<MarginSettings> margins = readCorrections();
    if (!margins)
        return;
    if (const std::optional<TypedJobRequest> request = returnAddressRequest(*margins))
        showPreview(*request, [this] { printReturnAddresses(); });
}

void LabelEntry::showPreview(const TypedJobRequest& request, const std::function<void()>& print)
{
    const TypedJob job = buildTypedJob(request, platform_.printer().measure());
    afterJobRan(request.stock);
    platform_.printPreview(job.run, job.outlines, overrunOutlines(job.overflows), usedOutlines(job), print);
}

}  // namespace pw
