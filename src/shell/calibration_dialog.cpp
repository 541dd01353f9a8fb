#include "shell/calibration_dialog.h"

#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "printing/calibration.h"
#include "widgets/named_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {

constexpr std::array<MarginKind, 3> kKinds = {MarginKind::OnTheFly, MarginKind::SearchResult,
                                              MarginKind::ReturnAddress};

QString kindName(MarginKind kind)
{
    switch (kind) {
    case MarginKind::OnTheFly: return QStringLiteral("On-The-Fly labels");
    case MarginKind::SearchResult: return QStringLiteral("Search-result labels");
    case MarginKind::ReturnAddress: return QStringLiteral("Return Address labels");
    case MarginKind::Envelope: break;
    }
    return QStringLiteral("Envelopes");
}

QString signedCount(int n, const char* forward, const char* backward, const char* unit)
{
    if (n == 0)
        return QStringLiteral("no %1s").arg(QString::fromLatin1(unit));
    return QStringLiteral("%1 %2%3 %4")
        .arg(std::abs(n))
        .arg(QString::fromLatin1(unit))
        .arg(std::abs(n) == 1 ? QString() : QStringLiteral("s"))
        .arg(QString::fromLatin1(n > 0 ? forward : backward));
}

}  // namespace

CalibrationDialog::CalibrationDialog(Platform& platform, QString parameterFile, QWidget* parent)
    : QDialog(parent), platform_(platform), parameterFile_(std::move(parameterFile))
{
    setObjectName(QStringLiteral("frmCalibrate"));
    setWindowTitle(QStringLiteral("Correct from calibration sheet"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(QStringLiteral("On the printed calibration sheet, measure from the paper's left and top "
                                           "edges to the centre of each cross, as \"25 mm\" or \"1.02 in\"."));
    hint->setWordWrap(true);
    layout->addWidget(hint);

    auto* form = new QFormLayout;
    const char* const names[4] = {"txtCalALeft", "txtCalATop", "txtCalBLeft", "txtCalBTop"};
    const char* const captions[4] = {"Cross &A from the left edge:", "Cross A from the &top edge:",
                                     "Cross &B from the left edge:", "Cross B from the t&op edge:"};
    for (int i = 0; i < 4; ++i) {
        distances_[i] = named<QLineEdit>(names[i]);
        form->addRow(QString::fromLatin1(captions[i]), distances_[i]);
        connect(distances_[i], &QLineEdit::textChanged, this, &CalibrationDialog::update);
    }
    unit_ = named<QComboBox>("cboCalUnit");
    unit_->addItems({QStringLiteral("mm"), QStringLiteral("in")});
    form->addRow(QStringLiteral("Numbers without a &unit are in:"), unit_);
    layout->addLayout(form);

    const char* const kindNames[3] = {"chkCalOTF", "chkCalSR", "chkCalRA"};
    for (int i = 0; i < 3; ++i) {
        kinds_[i] = named<QCheckBox>(kindNames[i], kindName(kKinds[i]));
        kinds_[i]->setChecked(true);
        layout->addWidget(kinds_[i]);
        connect(kinds_[i], &QCheckBox::toggled, this, &CalibrationDialog::update);
    }
    result_ = named<QLabel>("lblCalResult");
    result_->setWordWrap(true);
    layout->addWidget(result_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    store_ = buttons->addButton(QStringLiteral("&Store corrections"), QDialogButtonBox::AcceptRole);
    store_->setObjectName(QStringLiteral("cmdCalStore"));
    layout->addWidget(buttons);
    connect(unit_, &QComboBox::currentTextChanged, this, &CalibrationDialog::update);
    connect(buttons, &QDialogButtonBox::accepted, this, &CalibrationDialog::store);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    update();
}

void CalibrationDialog::update()
{
    std::array<double, 4> inches{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> value = inchesFromText(distances_[i]->text(), unit_->currentText());
        if (!value) {
            result_->setText(QStringLiteral("Enter the four distances."));
            store_->setEnabled(false);
            return;
        }
        inches[i] = *value;
    }
    const QPointF offset = printerOffset({{inches[0], inches[1]}, {inches[2], inches[3]}});
    QStringList lines{QStringLiteral("The printer moves everything %1 in %2 and %3 in %4.")
                          .arg(std::abs(offset.x()), 0, 'f', 3)
                          .arg(offset.x() < 0 ? QStringLiteral("left") : QStringLiteral("right"))
                          .arg(std::abs(offset.y()), 0, 'f', 3)
                          .arg(offset.y() < 0 ? QStringLiteral("up") : QStringLiteral("down"))};
    bool any = false;
    for (int i = 0; i < 3; ++i) {
        if (!kinds_[i]->isChecked())
            continue;
        any = true;
        const KindCorrection c = *correctionFor(kKinds[i], offset);
        lines.append(QStringLiteral("%1: %2, %3%4")
                         .arg(kindName(c.kind), signedCount(c.correction.left, "right", "left", "column"),
                              signedCount(c.correction.top, "down", "up", "row"),
                              c.limited ? QStringLiteral(" (as far as these labels can be moved)") : QString()));
    }
    result_->setText(lines.join(u'\n'));
    store_->setEnabled(any);
}

void CalibrationDialog::store()
{
    std::array<double, 4> inches{};
    for (int i = 0; i < 4; ++i)
        inches[i] = *inchesFromText(distances_[i]->text(), unit_->currentText());
    const QPointF offset = printerOffset({{inches[0], inches[1]}, {inches[2], inches[3]}});
    // The sheet was printed without corrections, so the stored values become the ones worked out
    // here; the adjustment adds, so it is given the difference.
    const Expected<MarginSettings> current = readMarginSettings(parameterFile_);
    if (!current) {
        showErrorPrompt(platform_, current.error());
        return;
    }
    for (int i = 0; i < 3; ++i) {
        if (!kinds_[i]->isChecked())
            continue;
        const KindCorrection c = *correctionFor(kKinds[i], offset);
        const MarginPair now = current->pair(c.kind);
        const Expected<MarginAdjustment> done =
            adjustMargins(parameterFile_, c.kind, c.correction.left - now.left, c.correction.top - now.top);
        if (!done) {
            showErrorPrompt(platform_, done.error());
            return;
        }
        if (!done->valueTooLong.isEmpty()) {
            platform_.message({QStringLiteral("The correction for %1 does not fit in 3 characters.  Nothing more was "
                                              "stored.")
                                   .arg(kindName(c.kind)),
                               QStringLiteral("Margins not adjusted")});
            return;
        }
    }
    platform_.message({QStringLiteral("D O N E !  Margins adjusted from the calibration sheet."),
                       QStringLiteral("Margin adjustment completed")});
    accept();
}

}  // namespace pw
