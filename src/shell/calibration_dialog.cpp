#include "shell/calibration_dialog.h"

#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "printing/calibration.h"
#include "printing/margin_settings.h"
#include "printing/print_surface.h"
#include "widgets/named_widgets.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {

const QString kNoFileCalibration = QStringLiteral(
    "The current printer writes a PDF file, which takes no calibration.  Print the calibration sheet on the "
    "printer to calibrate, then come back here.");

// The kinds whose corrections a calibration does the work of; envelopes take another feed path.
constexpr std::array<MarginKind, 3> kSheetKinds = {MarginKind::OnTheFly, MarginKind::ReturnAddress,
                                                   MarginKind::SearchResult};

QString kindName(MarginKind kind)
{
    switch (kind) {
    case MarginKind::OnTheFly: return QStringLiteral("On-The-Fly");
    case MarginKind::ReturnAddress: return QStringLiteral("Return Address");
    case MarginKind::SearchResult: return QStringLiteral("Search-result");
    case MarginKind::Envelope: break;
    }
    return QStringLiteral("Envelope");
}

// The current printer's queue name; empty for a PDF file.
QString calibratedPrinter(Platform& platform)
{
    PrintSurface& printer = platform.printer();
    return printer.writesFile() ? QString() : printer.deviceName();
}

}  // namespace

CalibrationDialog::CalibrationDialog(Platform& platform, QString parameterFile, QWidget* parent)
    : QDialog(parent),
      platform_(platform),
      parameterFile_(std::move(parameterFile)),
      printer_(calibratedPrinter(platform))
{
    setObjectName(QStringLiteral("frmCalibrate"));
    setWindowTitle(QStringLiteral("Calibrate from the sheet"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(
        printer_.isEmpty()
            ? kNoFileCalibration
            : QStringLiteral("Printer %1.  For each cross of the calibration sheet printed on it, enter the number of "
                             "the tick a ruler meets, or how far the cross landed from where it belongs: right and "
                             "down positive, left and up negative.")
                  .arg(printer_));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* form = new QFormLayout;
    const char* const names[4] = {"txtCalAAcross", "txtCalADown", "txtCalBAcross", "txtCalBDown"};
    const char* const captions[4] = {"Cross &A, right:", "Cross A, &down:", "Cross &B, right:", "Cross B, d&own:"};
    for (int i = 0; i < 4; ++i) {
        distances_[i] = named<QLineEdit>(names[i]);
        form->addRow(QString::fromLatin1(captions[i]), distances_[i]);
        connect(distances_[i], &QLineEdit::textChanged, this, &CalibrationDialog::update);
    }
    unit_ = named<QComboBox>("cboCalUnit");
    unit_->addItems({QStringLiteral("1/100 in"), QStringLiteral("mm")});
    form->addRow(QStringLiteral("Numbers without a &unit are in:"), unit_);
    layout->addLayout(form);
    result_ = named<QLabel>("lblCalResult");
    result_->setWordWrap(true);
    layout->addWidget(result_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    store_ = buttons->addButton(QStringLiteral("&Store calibration"), QDialogButtonBox::AcceptRole);
    store_->setObjectName(QStringLiteral("cmdCalStore"));
    layout->addWidget(buttons);
    connect(unit_, &QComboBox::currentTextChanged, this, &CalibrationDialog::update);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationDialog::store);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    update();
}

void CalibrationDialog::update()
{
    store_->setEnabled(false);
    if (printer_.isEmpty()) {
        result_->clear();
        return;
    }
    std::array<double, 4> inches{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> value = inchesFromText(distances_[i]->text(), unit_->currentText());
        if (!value) {
            result_->setText(QStringLiteral("Enter the four numbers."));
            return;
        }
        inches[i] = *value;
    }
    const PrinterCalibration calibration =
        calibrationFromMarks({{inches[0], inches[1]}, {inches[2], inches[3]}},
                             storedCalibration(platform_, printer_).value_or(PrinterCalibration{}));
    result_->setText(QStringLiteral("%1 prints everything %2.").arg(printer_, calibrationText(calibration)));
    store_->setEnabled(true);
}

void CalibrationDialog::store()
{
    std::array<double, 4> inches{};
    for (int i = 0; i < 4; ++i)
        inches[i] = inchesFromText(distances_[i]->text(), unit_->currentText()).value_or(0);
    // The sheet was printed through the calibration this printer had, so what was measured is what
    // remains of its error.
    const PrinterCalibration calibration =
        calibrationFromMarks({{inches[0], inches[1]}, {inches[2], inches[3]}},
                             storedCalibration(platform_, printer_).value_or(PrinterCalibration{}));
    storeCalibration(platform_, printer_, calibration);
    offerToZeroCorrections();
    accept();
}

void CalibrationDialog::offerToZeroCorrections()
{
    const Expected<MarginSettings> current = readMarginSettings(parameterFile_);
    if (!current) {
        showErrorPrompt(platform_, current.error());
        return;
    }
    QStringList corrected;
    for (MarginKind kind : kSheetKinds) {
        const MarginPair pair = current->pair(kind);
        if (pair != MarginPair{})
            corrected.append(QStringLiteral("%1 %2, %3").arg(kindName(kind)).arg(pair.left).arg(pair.top));
    }
    const QString done = QStringLiteral("D O N E !  %1 is calibrated.").arg(printer_);
    if (corrected.isEmpty()) {
        platform_.message({done, QStringLiteral("Calibration stored")});
        return;
    }
    const Message question{done
                               + QStringLiteral(
                                     "  The label corrections in the Margins menu (%1) would now move the labels a "
                                     "second time.  Set them to 0?")
                                     .arg(corrected.join(QStringLiteral("; "))),
                           QStringLiteral("Calibration stored"), MessageIcon::Question, MessageButtons::YesNo};
    if (platform_.message(question) != MessageResult::Yes)
        return;
    for (MarginKind kind : kSheetKinds) {
        const MarginPair pair = current->pair(kind);
        if (pair == MarginPair{})
            continue;
        const Expected<MarginAdjustment> zeroed = adjustMargins(parameterFile_, kind, -pair.left, -pair.top);
        if (!zeroed) {
            showErrorPrompt(platform_, zeroed.error());
            return;
        }
    }
}

void showPrinterCalibration(Platform& platform)
{
    const QString printer = calibratedPrinter(platform);
    const QString title = QStringLiteral("Printer calibration");
    if (printer.isEmpty()) {
        platform.message({kNoFileCalibration, title});
        return;
    }
    const std::optional<PrinterCalibration> calibration = storedCalibration(platform, printer);
    if (!calibration) {
        platform.message({QStringLiteral("%1 has no calibration: it prints as it is.").arg(printer), title});
        return;
    }
    const Message question{QStringLiteral("%1 is calibrated: it prints everything %2, and Postwick takes that back.  "
                                          "Clear its calibration?")
                               .arg(printer, calibrationText(*calibration)),
                           title,
                           MessageIcon::Question,
                           MessageButtons::YesNo,
                           false,
                           MessageResult::No};
    if (platform.message(question) == MessageResult::Yes)
        storeCalibration(platform, printer, std::nullopt);
}

}  // namespace pw
