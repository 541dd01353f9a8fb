#include "shell/main_window.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "printing/margin_adjustment.h"
#include "printing/print_action.h"
#include "printing/print_surface.h"
#include "shell/app_files.h"
#include "shell/enter_moves_on.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace pw {
namespace {

// An option pair may stand with neither selected, which its own exclusivity would not allow.
void unselect(QRadioButton* option)
{
    option->setAutoExclusive(false);
    option->setChecked(false);
    option->setAutoExclusive(true);
}

}  // namespace

void MainWindow::connectLabelEntry()
{
    for (int i = 0; i < 4; ++i) {
        makeEnterMoveOn(txtLMLine_[i]);
        setTabOrder(txtLMLine_[i], txtLMLine_[i + 1]);
    }
    lblLMPosition_->hide();
    // Envelopes print through a job of their own, which is not part of this build yet.
    optLMEnvelope_->setEnabled(false);
    setCommandAvailable(optLMLabel_);
    for (QAction* a : {mnuFilePrint_, mnuAdjustOTF_, mnuAdjustSR_, mnuAdjustENV_, mnuAdjustRA_})
        a->setEnabled(true);
    for (QPushButton* b : {cmdLMStart_, cmdLMClear_})
        b->setEnabled(true);

    connect(optLMLabel_, &QRadioButton::clicked, this, &MainWindow::enterLabelPosition);
    for (QCheckBox* style : {chkLblBold_, chkLblItalic_}) {
        connect(style, &QCheckBox::clicked, this, [this] {
            if (optLMLabel_->isChecked())
                cmdLMStart_->setFocus();
        });
    }
    connect(optLMLeftjust_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            showLinesAligned(Qt::AlignLeft);
    });
    connect(optLMCenter_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            showLinesAligned(Qt::AlignHCenter);
    });
    connect(optPortrait_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            setLabelPlaceFields(LabelPlace{});
    });
    connect(optLandscape_, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            txtLMLine_[0]->setFocus();
    });
    connect(cmdLMStart_, &QPushButton::clicked, this, &MainWindow::printOnTheFly);
    connect(mnuFilePrint_, &QAction::triggered, this, &MainWindow::printOnTheFly);
    connect(cmdLMClear_, &QPushButton::clicked, this, &MainWindow::clearForm);
    connect(mnuAdjustOTF_, &QAction::triggered, this, [this] { adjustMarginsOf(MarginKind::OnTheFly); });
    connect(mnuAdjustSR_, &QAction::triggered, this, [this] { adjustMarginsOf(MarginKind::SearchResult); });
    connect(mnuAdjustENV_, &QAction::triggered, this, [this] { adjustMarginsOf(MarginKind::Envelope); });
    connect(mnuAdjustRA_, &QAction::triggered, this, [this] { adjustMarginsOf(MarginKind::ReturnAddress); });
}

QString MainWindow::parameterFile()
{
    return QDir(platform_.applicationFolder()).filePath(QString::fromLatin1(kParameterFileName));
}

void MainWindow::setLabelPlaceFields(LabelPlace place)
{
    txtLMLeftPad_->setText(QString::number(place.column));
    txtLMToppad_->setText(QString::number(place.row));
}

void MainWindow::showLinesAligned(Qt::Alignment alignment)
{
    for (QLineEdit* line : txtLMLine_)
        line->setAlignment(alignment);
    txtLMLine_[0]->setFocus();
}

void MainWindow::enterLabelPosition()
{
    optPortrait_->setChecked(true);
    for (QCheckBox* envelopeBox : {chkBold_, chkLargeFont_}) {
        envelopeBox->setChecked(false);
        envelopeBox->hide();
    }
    frFeatures_->show();
    cboLMEnvelope_->hide();
    lblLMPosition_->clear();

    askLabelPositions(platform_, positionRange_);
    // A start below 1 names no label, like an empty entry; printing it would use a stale place.
    if (numericValue(positionRange_.start) >= 1) {
        lblLMPosition_->setText(QStringLiteral("Label Position ") + positionRange_.text);
        lblLMPosition_->show();
        cmdLMStart_->setFocus();
        return;
    }
    lblLMPosition_->hide();
    lblLMPosition_->clear();
    unselect(optLMLabel_);
    unselect(optLMEnvelope_);
    setLabelPlaceFields(LabelPlace{});
}

void MainWindow::printOnTheFly()
{
    // The corrections are read before any check, so that a broken file is reported first.
    const Expected<MarginSettings> margins = readMarginSettings(parameterFile());
    if (!margins) {
        platform_.message(printerProblem());
        return;
    }
    QStringList lines;
    for (QLineEdit* line : txtLMLine_)
        lines.append(line->text());
    const Media media = optLMLabel_->isChecked()      ? Media::Labels
                        : optLMEnvelope_->isChecked() ? Media::Envelope
                                                      : Media::None;
    const Alignment alignment = optLMLeftjust_->isChecked() ? Alignment::Left
                                : optLMCenter_->isChecked() ? Alignment::Centred
                                                            : Alignment::None;
    if (auto problem = onTheFlyFormProblem(lines, media, envelopeSizeCode_, alignment)) {
        platform_.message(*problem);
        return;
    }
    if (media != Media::Labels)
        return;

    PrintSurface& printer = platform_.printer();
    if (!lblLMPosition_->isHidden() && !lblLMPosition_->text().isEmpty()) {
        if (auto problem = reparsePositionRange(positionRange_)) {
            platform_.message(*problem);
            return;
        }
        const double start = numericValue(positionRange_.start);
        if (auto place = LabelPositionTable::place(start, chkLblBold_->isChecked(), printer.deviceName()))
            setLabelPlaceFields(*place);
    }
    printer.setFontName(QStringLiteral("Verdana"));
    printer.setFontSize(9);

    OnTheFlyLabels labels;
    labels.lines = lines;
    labels.centred = alignment == Alignment::Centred;
    labels.bold = chkLblBold_->isChecked();
    labels.italic = chkLblItalic_->isChecked();
    labels.portrait = optPortrait_->isChecked();
    labels.start = numericValue(positionRange_.start);
    labels.count = positionRange_.count;
    labels.fallback = {static_cast<int>(roundHalfEven(numericValue(txtLMLeftPad_->text()))),
                       static_cast<int>(roundHalfEven(numericValue(txtLMToppad_->text())))};
    labels.correction = margins->pair(MarginKind::OnTheFly);
    printCopies(platform_, PrintDialogRequest{}, [&](PrintSurface& surface) {
        chkBold_->setChecked(false);
        chkBold_->hide();
        printOnTheFlyLabels(surface, labels);
    });
}

void MainWindow::clearForm()
{
    for (QCheckBox* envelopeBox : {chkBold_, chkLargeFont_}) {
        envelopeBox->setChecked(false);
        envelopeBox->hide();
    }
    cmdLMStart_->show();
    setCommandEnabled(optLMLabel_, true);
    setCommandEnabled(optLMEnvelope_, true);
    cmdRetAddress_->hide();
    frFeatures_->show();
    for (QCheckBox* style : {chkLblBold_, chkLblItalic_}) {
        style->setEnabled(true);
        style->setChecked(false);
    }
    optLMLeftjust_->setChecked(true);
    for (QLineEdit* line : txtLMLine_)
        line->clear();
    positionRange_.start = QStringLiteral("0");
    unselect(optLMLabel_);
    unselect(optLMEnvelope_);
    lblLMPosition_->hide();
    lblLMPosition_->clear();
    cboLMEnvelope_->hide();
    envelopeSizeCode_ = 0;
    setLabelPlaceFields(LabelPlace{});
    txtLMLine_[0]->setFocus();
}

void MainWindow::adjustMarginsOf(MarginKind kind)
{
    if (auto s = runMarginAdjustment(platform_, kind, parameterFile()); !s)
        reportFileFailure(s.error());
}

}  // namespace pw
