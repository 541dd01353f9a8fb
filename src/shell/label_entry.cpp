#include "shell/label_entry.h"

#include "data/text_rules.h"
#include "printing/envelopes.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace pw {

LabelEntry::LabelEntry(Platform& platform, QWidget* parent) : QWidget(parent), platform_(platform)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    buildLines(layout);
    buildChoices(layout);

    commands_ = new QWidget;
    auto* commands = new QGridLayout(commands_);
    commands->setContentsMargins(0, 0, 0, 0);
    cmdLMStart_ = named<QPushButton>("cmdLMStart", QStringLiteral("&Print"));
    cmdRetAddress_ = namedWithTip<QPushButton>(
        "cmdRetAddress", QStringLiteral("&Print"),
        QStringLiteral("Prints 80 return address labels on Avery 5167 (1/2\" x 1 3/4\") labels"));
    cmdRetAddress_->hide();
    cmdLMClear_ = named<QPushButton>("cmdLMClear", QStringLiteral("C&lear Form"));
    // The return-address Print takes the label Print's place while return-address mode lasts.
    commands->addWidget(cmdLMStart_, 0, 0);
    commands->addWidget(cmdRetAddress_, 0, 0);
    commands->addWidget(cmdLMClear_, 1, 0);
    // The panel lives in the main window's layout; this area still owns it.
    connect(this, &QObject::destroyed, commands_, &QObject::deleteLater);

    lblLMPosition_->hide();
    for (QWidget* comesAndGoes : std::initializer_list<QWidget*>{lblLMPosition_, lblLMEnvSize_, cboLMEnvelope_,
                                                                 frFeatures_, chkBold_, chkLargeFont_})
        keepRoomWhenHidden(comesAndGoes);
    // The position and size captions hold one line whether or not they have text yet.
    for (QLabel* caption : {lblLMPosition_, lblLMEnvSize_})
        caption->setMinimumHeight(caption->fontMetrics().lineSpacing());

    connect(optLMLabel_, &QRadioButton::clicked, this, &LabelEntry::enterLabelPosition);
    connect(cmdLMSheet_, &QPushButton::clicked, this, &LabelEntry::chooseOnSheet);
    connect(optLMEnvelope_, &QRadioButton::clicked, this, &LabelEntry::chooseEnvelope);
    connect(cboLMEnvelope_, &QComboBox::activated, this, &LabelEntry::chooseEnvelopeSize);
    for (QCheckBox* style : {chkLblBold_, chkLblItalic_}) {
        connect(style, &QCheckBox::clicked, this, [this] {
            if (optLMLabel_->isChecked())
                cmdLMStart_->setFocus();
        });
    }
    for (QCheckBox* envelopeStyle : {chkBold_, chkLargeFont_})
        connect(envelopeStyle, &QCheckBox::clicked, this, [this] { cmdLMStart_->setFocus(); });
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
            focusFirstLine();
    });
    connect(cmdLMStart_, &QPushButton::clicked, this, &LabelEntry::print);
    connect(cmdRetAddress_, &QPushButton::clicked, this, &LabelEntry::printReturnAddresses);
    connect(cmdLMClear_, &QPushButton::clicked, this, &LabelEntry::clearForm);
}

void LabelEntry::buildLines(QLayout* into)
{
    auto* lines = new QGridLayout;
    static const char* const lineLabels[5] = {"lblLMLine1", "lblLMLine2", "lblLMLine3", "lblLMLine4", "lblLMLine5"};
    // Line 3's name is spelled as the rest of the system knows it.
    static const char* const lineBoxes[5] = {"txtLMLine1", "txtLMLine2", "txtLMline3", "txtLMLine4", "txtLMLine5"};
    for (int i = 0; i < 5; ++i) {
        auto* label = named<QLabel>(lineLabels[i], QStringLiteral("Line #%1:").arg(i + 1));
        txtLMLine_[i] = named<QLineEdit>(lineBoxes[i]);
        txtLMLine_[i]->setMinimumWidth(320);
        label->setBuddy(txtLMLine_[i]);
        lines->addWidget(label, i, 0);
        lines->addWidget(txtLMLine_[i], i, 1);
    }
    static_cast<QBoxLayout*>(into)->addLayout(lines);
    for (int i = 0; i < 4; ++i) {
        makeEnterMoveOn(txtLMLine_[i]);
        setTabOrder(txtLMLine_[i], txtLMLine_[i + 1]);
    }
}

void LabelEntry::buildChoices(QLayout* into)
{
    auto* row = new QHBoxLayout;
    auto* media = named<QGroupBox>("frLMMediaType", QStringLiteral("Media"));
    auto* mediaLayout = new QVBoxLayout(media);
    optLMLabel_ = named<QRadioButton>("optLMLabel", QStringLiteral("Label stock"));
    optLMEnvelope_ = named<QRadioButton>("optLMEnvelope", QStringLiteral("Envelope"));
    lblLMPosition_ = named<QLabel>("lblLMPosition");
    cmdLMSheet_ = namedWithTip<QPushButton>("cmdLMSheet", QStringLiteral("Shee&t\u2026"),
                                            QStringLiteral("Pick the labels to print on a picture of the sheet"));
    cboLMEnvelope_ = named<QComboBox>("cboLMEnvelope");
    cboLMEnvelope_->setPlaceholderText(QStringLiteral("Select Envelope Size"));
    lblLMEnvSize_ = named<QLabel>("lblLMEnvSize");
    auto* labelRow = new QHBoxLayout;
    labelRow->addWidget(optLMLabel_);
    labelRow->addWidget(cmdLMSheet_);
    mediaLayout->addLayout(labelRow);
    for (QWidget* w : std::initializer_list<QWidget*>{lblLMPosition_, optLMEnvelope_, cboLMEnvelope_, lblLMEnvSize_})
        mediaLayout->addWidget(w);
    row->addWidget(media);

    // The orientation is the program's to set, never the user's: a label job in landscape wastes a sheet.
    frPortLand_ = named<QGroupBox>("frPortLand", QStringLiteral("Orientation"));
    auto* orientationLayout = new QVBoxLayout(frPortLand_);
    optPortrait_ = named<QRadioButton>("optPortrait", QStringLiteral("Portrait"));
    optLandscape_ = named<QRadioButton>("optLandscape", QStringLiteral("Landscape"));
    orientationLayout->addWidget(optPortrait_);
    orientationLayout->addWidget(optLandscape_);
    frPortLand_->hide();
    row->addWidget(frPortLand_);

    auto* justification = named<QGroupBox>("frLMJust", QStringLiteral("Alignment"));
    auto* justificationLayout = new QVBoxLayout(justification);
    optLMLeftjust_ = named<QRadioButton>("optLMLeftjust", QStringLiteral("Left-Justified"));
    optLMCenter_ = named<QRadioButton>("optLMCenter", QStringLiteral("  Centered"));
    justificationLayout->addWidget(optLMLeftjust_);
    justificationLayout->addWidget(optLMCenter_);
    row->addWidget(justification);

    frFeatures_ = named<QGroupBox>("frFeatures", QStringLiteral("Label type"));
    auto* featuresLayout = new QVBoxLayout(frFeatures_);
    chkLblBold_ = named<QCheckBox>("chkLblBold", QStringLiteral("Bold"));
    chkLblItalic_ = named<QCheckBox>("chkLblItalic", QStringLiteral("Italic"));
    featuresLayout->addWidget(chkLblBold_);
    featuresLayout->addWidget(chkLblItalic_);
    row->addWidget(frFeatures_);

    auto* envelopeType = new QVBoxLayout;
    chkBold_ = namedWithTip<QCheckBox>("chkBold", QStringLiteral("Bold"),
                                       QStringLiteral("If checked, will print envelope in bold"));
    chkLargeFont_ = namedWithTip<QCheckBox>("chkLargeFont", QStringLiteral("Large Font"),
                                            QStringLiteral("If checked, will print envelope in larger, italicized font"));
    envelopeType->addWidget(chkBold_);
    envelopeType->addWidget(chkLargeFont_);
    buildEnvelopeReturn(envelopeType);
    envelopeType->addStretch();
    row->addLayout(envelopeType);
    static_cast<QBoxLayout*>(into)->addLayout(row);

    // Hidden fields: the label position's print column and row.
    txtLMLeftPad_ = named<QLineEdit>("txtLMLeftPad");
    txtLMToppad_ = named<QLineEdit>("txtLMToppad");
    for (QLineEdit* hidden : {txtLMLeftPad_, txtLMToppad_}) {
        hidden->setParent(this);
        hidden->hide();
    }
}

void LabelEntry::reset()
{
    optPortrait_->setChecked(true);
    optLMLeftjust_->setChecked(true);
    setLabelPlaceFields(LabelPlace{});
    cboLMEnvelope_->clear();
    cboLMEnvelope_->addItems(envelopeSizeNames());
    cboLMEnvelope_->setCurrentIndex(-1);
    cboLMEnvelope_->hide();
    focusFirstLine();
    hideEnvelopeBoxes();
    frFeatures_->show();
    chkLblBold_->setChecked(false);
    chkLblItalic_->setChecked(false);
}

LabelLines LabelEntry::lines() const
{
    LabelLines lines;
    for (std::size_t i = 0; i < lines.size(); ++i)
        lines[i] = txtLMLine_[i]->text();
    return lines;
}

void LabelEntry::takeAddress(const LabelLines& lines)
{
    hideEnvelopeBold();
    for (std::size_t i = 0; i < lines.size(); ++i)
        txtLMLine_[i]->setText(lines[i]);
    focusFirstLine();
}

bool LabelEntry::labelBold() const
{
    return chkLblBold_->isChecked();
}

bool LabelEntry::labelItalic() const
{
    return chkLblItalic_->isChecked();
}

void LabelEntry::clearLabelStyles()
{
    chkLblBold_->setChecked(false);
    chkLblItalic_->setChecked(false);
}

void LabelEntry::focusFirstLine()
{
    txtLMLine_[0]->setFocus();
}

void LabelEntry::hideEnvelopeBold()
{
    chkBold_->setChecked(false);
    chkBold_->hide();
}

void LabelEntry::hideEnvelopeBoxes()
{
    for (QCheckBox* envelopeBox : {chkBold_, chkLargeFont_}) {
        envelopeBox->setChecked(false);
        envelopeBox->hide();
    }
    showEnvelopeReturn(false);
}

LabelPlace LabelEntry::labelPlaceFields() const
{
    return {static_cast<int>(roundHalfEven(numericValue(txtLMLeftPad_->text()))),
            static_cast<int>(roundHalfEven(numericValue(txtLMToppad_->text())))};
}

void LabelEntry::setLabelPlaceFields(LabelPlace place)
{
    txtLMLeftPad_->setText(QString::number(place.column));
    txtLMToppad_->setText(QString::number(place.row));
}

void LabelEntry::showLinesAligned(Qt::Alignment alignment)
{
    for (QLineEdit* line : txtLMLine_)
        line->setAlignment(alignment);
    focusFirstLine();
}

void LabelEntry::clearForm()
{
    hideEnvelopeBoxes();
    cmdLMStart_->show();
    optLMLabel_->setEnabled(true);
    optLMEnvelope_->setEnabled(true);
    cmdRetAddress_->hide();
    cmdLMSheet_->setEnabled(true);
    frFeatures_->show();
    for (QCheckBox* style : {chkLblBold_, chkLblItalic_}) {
        style->setEnabled(true);
        style->setChecked(false);
    }
    optLMLeftjust_->setChecked(true);
    for (QLineEdit* line : txtLMLine_)
        line->clear();
    positionRange_.start = QStringLiteral("0");
    pickedPositions_.clear();
    unselectMedia();
    lblLMPosition_->hide();
    lblLMPosition_->clear();
    cboLMEnvelope_->hide();
    envelopeSizeCode_ = 0;
    setLabelPlaceFields(LabelPlace{});
    focusFirstLine();
}

}  // namespace pw
