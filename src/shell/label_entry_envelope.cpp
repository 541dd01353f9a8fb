// The entry area's envelope return address: entered once in a small dialog, kept in the settings,
// and printed in the envelope's upper left corner while its box is ticked.
#include "platform/platform.h"
#include "printing/envelopes.h"
#include "shell/label_entry.h"
#include "widgets/named_widgets.h"

#include <QBoxLayout>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace pw {

void LabelEntry::buildEnvelopeReturn(QBoxLayout* into)
{
    chkLMEnvReturn_ =
        namedWithTip<QCheckBox>("chkLMEnvReturn", QStringLiteral("Print return address"),
                                QStringLiteral(
                                    "If checked, will print your return address in the envelope's upper left corner"));
    cmdLMEnvReturn_ = named<QPushButton>("cmdLMEnvReturn", QStringLiteral("Return &address\u2026"));
    into->addWidget(chkLMEnvReturn_);
    into->addWidget(cmdLMEnvReturn_);
    for (QWidget* w : std::initializer_list<QWidget*>{chkLMEnvReturn_, cmdLMEnvReturn_}) {
        keepRoomWhenHidden(w);
        w->hide();
    }
    connect(chkLMEnvReturn_, &QCheckBox::clicked, this,
            [this](bool on) { setPrintsEnvelopeReturnAddress(platform_, on); });
    connect(cmdLMEnvReturn_, &QPushButton::clicked, this, &LabelEntry::enterEnvelopeReturnAddress);
}

void LabelEntry::showEnvelopeReturn(bool shown)
{
    chkLMEnvReturn_->setChecked(printsEnvelopeReturnAddress(platform_));
    chkLMEnvReturn_->setVisible(shown);
    cmdLMEnvReturn_->setVisible(shown);
}

void LabelEntry::enterEnvelopeReturnAddress()
{
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("dlgEnvReturn"));
    dialog.setWindowTitle(QStringLiteral("Return Address"));
    auto* form = new QFormLayout(&dialog);
    const QStringList stored = envelopeReturnAddress(platform_);
    static const char* const names[3] = {"txtEnvReturn1", "txtEnvReturn2", "txtEnvReturn3"};
    QLineEdit* lines[3] = {};
    for (int i = 0; i < 3; ++i) {
        lines[i] = named<QLineEdit>(names[i], stored.value(i));
        lines[i]->setMinimumWidth(280);
        form->addRow(QStringLiteral("Line #&%1:").arg(i + 1), lines[i]);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return;
    QStringList entered;
    for (QLineEdit* line : lines)
        entered.append(line->text());
    setEnvelopeReturnAddress(platform_, entered);
    // An address just entered is one to print; one emptied is not.
    const bool any =
        std::any_of(entered.begin(), entered.end(), [](const QString& l) { return !l.trimmed().isEmpty(); });
    chkLMEnvReturn_->setChecked(any);
    setPrintsEnvelopeReturnAddress(platform_, any);
    cmdLMStart_->setFocus();
}

QStringList LabelEntry::returnAddressToPrint()
{
    return chkLMEnvReturn_->isChecked() ? envelopeReturnAddress(platform_) : QStringList();
}

}  // namespace pw
