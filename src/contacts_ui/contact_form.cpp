#include "contacts_ui/contact_form.h"

#include "data/text_rules.h"
#include "platform/platform.h"
#include "program/app_files.h"
#include "widgets/enter_moves_on.h"
#include "widgets/named_widgets.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace pw {
namespace {

using namespace Qt::StringLiterals;

struct FormBox {
    const char* name;  // after the txtAC and lblAC prefixes
    const char* label;
    const char* toolTip;
    bool addContactOnlyTip;
};

constexpr FormBox kFormBoxes[kContactBoxCount] = {
    {"FName", "First Name:", "14 characters maximum", true},
    {"MiddleInit", "Middle Initial:", nullptr, false},
    {"LName", "Last Name:", "18 characters maximum", true},
    {"FStreet", "Street Address:", "For help in finding address, click 'People Finder'", false},
    {"SStreet", "Additional Street Info/Apt:", nullptr, false},
    {"City", "City:", nullptr, false},
    {"State", "State:", nullptr, false},
    {"Zip", "Zip Code:", "For help in finding Zip Code, click 'Zip Code Finder'", false},
    {"Country", "Country:", nullptr, false},
    {"Company", "Company Name:", nullptr, false},
    {"Birthdate", "Birthdate (MM/DD/YYYY):", "Use approximate year if necessary", true},
    {"HPhone", "Home Phone:", nullptr, false},
    {"CPhone", "Cell Phone:", nullptr, false},
    {"WPhone", "Work Phone:", nullptr, false},
    {"Email", "Email Address:", nullptr, false},
    {"Category", "Category:",
     "Enter one or more categories, separated by a semicolon, to include this contact in subset(s).  "
     "Example: Christmas;Golf;Customers",
     false},
    {"Notes", "Notes:", "Notes may contain up to 160 characters", false},
};

// Name, address and company stand in the left column; birthdate, phones, e-mail, category and
// notes in the right one.
constexpr int kLeftColumnBoxes = 10;

QString prefixed(const char* prefix, const char* name)
{
    return QString::fromLatin1(prefix) + QString::fromLatin1(name);
}

QPushButton* lookUpButton(const char* name, const QString& caption, const QString& toolTip = {})
{
    auto* button = new QPushButton(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(toolTip);
    return button;
}

}  // namespace

ContactForm::ContactForm(FormVariant variant, Platform& platform, QWidget* parent) : QWidget(parent), variant_(variant)
{
    const bool addContact = variant == FormVariant::AddContact;
    auto* grid = new QGridLayout(this);
    grid->setColumnMinimumWidth(3, 16);
    for (int i = 0; i < static_cast<int>(kContactBoxCount); ++i) {
        const FormBox& formBox = kFormBoxes[i];
        auto* box = new QLineEdit;
        box->setObjectName(prefixed("txtAC", formBox.name));
        if (formBox.toolTip && (addContact || !formBox.addContactOnlyTip))
            box->setToolTip(QString::fromLatin1(formBox.toolTip));
        makeEnterMoveOn(box);
        // Wide enough for a street address to show whole.
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 30);
        auto* label = new QLabel(QString::fromLatin1(formBox.label));
        label->setObjectName(prefixed("lblAC", formBox.name));
        label->setBuddy(box);
        const bool left = i < kLeftColumnBoxes;
        const int row = left ? i : i - kLeftColumnBoxes;
        grid->addWidget(label, row, left ? 0 : 4);
        grid->addWidget(box, row, left ? 1 : 5);
        boxes_[i] = box;
    }

    includeCompany_ = new QCheckBox;
    includeCompany_->setObjectName(addContact ? QStringLiteral("chkIncComp") : QStringLiteral("chkCompanyInclude"));
    includeCompany_->setToolTip(QStringLiteral("If checked, Company Name will be included when printing address"));
    includeCompanyLabel_ = new QLabel(QStringLiteral("Include Company Name in Address"));
    includeCompanyLabel_->setObjectName(addContact ? QStringLiteral("lblIncCompName")
                                                   : QStringLiteral("lblACCompOnLabel"));
    includeCompanyLabel_->setBuddy(includeCompany_);
    includeCompanyLabel_->installEventFilter(this);
    for (QWidget* comesAndGoes : {static_cast<QWidget*>(includeCompany_), static_cast<QWidget*>(includeCompanyLabel_)}) {
        keepRoomWhenHidden(comesAndGoes);
        comesAndGoes->hide();
    }
    grid->addWidget(includeCompany_, kLeftColumnBoxes, 0, Qt::AlignRight);
    grid->addWidget(includeCompanyLabel_, kLeftColumnBoxes, 1);

    auto* stateAbbreviations = lookUpButton("cmdStateAbb", QStringLiteral("?"), QStringLiteral("Look up State abbreviations"));
    auto* peopleFinder = lookUpButton("cmdPeopleFind", QStringLiteral("People Finder"));
    auto* zipFinder = lookUpButton("cmdZipFinder", QStringLiteral("Zip Code Finder"),
                                   addContact ? QString() : QStringLiteral("Look up Zip Code"));
    stateAbbreviations->setMaximumWidth(stateAbbreviations->fontMetrics().horizontalAdvance(u"M?M"_s) * 2);
    grid->addWidget(stateAbbreviations, static_cast<int>(ContactBox::State), 2, Qt::AlignLeft);
    const int lookUpRow = static_cast<int>(kContactBoxCount) - kLeftColumnBoxes;
    grid->addWidget(peopleFinder, lookUpRow, 5, Qt::AlignLeft);
    grid->addWidget(zipFinder, lookUpRow + 1, 5, Qt::AlignLeft);
    grid->setRowStretch(kLeftColumnBoxes + 1, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    // E-mail, category and notes hold the longest texts.
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(5, 3);

    for (std::size_t i = 1; i < kContactBoxCount; ++i)
        setTabOrder(boxes_[i - 1], boxes_[i]);
    setTabOrder(boxes_.back(), includeCompany_);
    setTabOrder(includeCompany_, stateAbbreviations);
    setTabOrder(stateAbbreviations, peopleFinder);
    setTabOrder(peopleFinder, zipFinder);

    connect(stateAbbreviations, &QPushButton::clicked, this, [this, &platform] {
        openDeliveredDocument(platform, kStateAbbreviationsFileName);
        box(ContactBox::State)->setFocus();
    });
    connect(peopleFinder, &QPushButton::clicked, this,
            [&platform] { openDocumentOrSay(platform, QString::fromLatin1(kPeopleSearchAddress)); });
    connect(zipFinder, &QPushButton::clicked, this,
            [&platform] { openDocumentOrSay(platform, QString::fromLatin1(kZipCodeLookupAddress)); });
}

bool ContactForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == includeCompanyLabel_ && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton && includeCompany_->isEnabled()) {
        includeCompany_->click();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool ContactForm::settleChanges(Platform& platform, const std::function<bool()>& save)
{
    const Message question{QStringLiteral("Save changes to this contact?"),
                           QStringLiteral("Unsaved changes"),
                           MessageIcon::Question,
                           MessageButtons::YesNoCancel,
                           false,
                           MessageResult::Cancel};
    switch (platform.message(question)) {
    case MessageResult::Yes: return save();
    case MessageResult::No: return true;
    default: return false;
    }
}

ContactBoxTexts ContactForm::texts() const
{
    ContactBoxTexts texts;
    for (std::size_t i = 0; i < kContactBoxCount; ++i)
        texts.text[i] = boxes_[i]->text();
    return texts;
}

void ContactForm::setTexts(const ContactBoxTexts& texts)
{
    for (std::size_t i = 0; i < kContactBoxCount; ++i) {
        if (boxes_[i]->text() != texts.text[i]) {
            boxes_[i]->setText(texts.text[i]);
            boxes_[i]->setCursorPosition(0);
        }
    }
}

std::optional<ContactRecord> ContactForm::recordToSave(Platform& platform, bool remindersOn,
                                                       const LoadedContact* loaded)
{
    ContactBoxTexts boxes = texts();
    auto record = validateContactForm(boxes, includeCompany_->isChecked(), remindersOn, variant_, loaded);
    setTexts(boxes);
    if (record && !unstorableBoxes(boxes).empty()) {
        if (!takeNearestLetters(platform))
            return std::nullopt;
        // A nearer letter may be more than one ("ǆ" dz): the checks see the texts as they will be saved.
        boxes = texts();
        record = validateContactForm(boxes, includeCompany_->isChecked(), remindersOn, variant_, loaded);
        setTexts(boxes);
    }
    if (!record) {
        platform.message(record.error().message);
        box(record.error().box)->setFocus();
        return std::nullopt;
    }
    includeCompany_->setChecked(record->includeCompanyChecked());
    return *record;
}

bool ContactForm::takeNearestLetters(Platform& platform)
{
    const std::vector<UnstorableBox> found = unstorableBoxes(texts());
    if (platform.message(unstorableQuestion(found)) != MessageResult::Yes) {
        box(found.front().box)->setFocus();
        return false;
    }
    for (const UnstorableBox& entry : found)
        box(entry.box)->setText(nearestStorable(box(entry.box)->text()));
    return true;
}

QLineEdit* ContactForm::box(ContactBox box) const
{
    return boxes_[static_cast<std::size_t>(box)];
}

}  // namespace pw
