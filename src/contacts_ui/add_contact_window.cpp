#include "contacts_ui/add_contact_window.h"

#include "contacts_ui/contact_form.h"
#include "data/contacts_session.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "widgets/named_widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace pw {

AddContactWindow::AddContactWindow(Platform& platform, ContactsSession& session, QWidget* parent)
    : SecondaryWindow(platform, "frmNewContact", QStringLiteral("Add Contact"), session.title(), parent),
      session_(session)
{
    buildMenus();

    form_ = new ContactForm(FormVariant::AddContact, platform);
    form_->includeCompany()->setChecked(true);
    auto* cmdSave = namedWithTip<QPushButton>("cmdSave", QStringLiteral("&Save"), QStringLiteral("Saves contact to file"));
    auto* cmdCancel = namedWithTip<QPushButton>("cmdCancel", QStringLiteral("&Close"), QStringLiteral("Return to main screen"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSave);
    buttons->addWidget(cmdCancel);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(form_);
    layout->addLayout(buttons);
    setCentralWidget(central);
    setTabOrder(form_->includeCompany(), cmdSave);
    setTabOrder(cmdSave, cmdCancel);

    // The check box appears with the first change to the company and then stays, checked or not.
    QLineEdit* company = form_->box(ContactBox::Company);
    connect(company, &QLineEdit::textChanged, this, [this] {
        form_->includeCompany()->show();
        form_->includeCompanyLabel()->show();
    });
    connect(cmdSave, &QPushButton::clicked, this, [this] { save(); });
    addSaveKey(cmdSave);
    connect(cmdCancel, &QPushButton::clicked, this, &QWidget::close);
    form_->box(ContactBox::FName)->setFocus();
}

void AddContactWindow::buildMenus()
{
    addEditMenu("mnuNewEdit", "mnuNewCut", "mnuNewCopy", "mnuNewPaste");
    addHelpMenu("mnuNewHelp", "mnuNewManual", "mnuNewAbout");
}

void AddContactWindow::fill(const ContactBoxTexts& texts)
{
    form_->setTexts(texts);
}

bool AddContactWindow::save()
{
    Platform& platform = this->platform();
    const std::optional<ContactRecord> record = form_->recordToSave(platform, session_.remindersOn());
    if (!record || !followReplacedFile(platform, session_))
        return false;
    if (auto appended = session_.file().append(*record); !appended) {
        // Retry leaves the window open for another press of Save.
        if (showErrorPrompt(platform, appended.error()) == MessageResult::Cancel)
            closeWithoutAsking();
        return false;
    }
    if (record->remindersOn())
        session_.noteSavedWithRemindersOn();
    platform.message({QStringLiteral("S A V E D"), QStringLiteral("Contact saved to file")});
    closeWithoutAsking();
    return true;
}

void AddContactWindow::closeWithoutAsking()
{
    asksBeforeClosing_ = false;
    close();
}

void AddContactWindow::closeEvent(QCloseEvent* event)
{
    const ContactBoxTexts typed = form_->texts();
    const bool anyTyped =
        std::any_of(typed.text.begin(), typed.text.end(), [](const QString& t) { return !t.isEmpty(); });
    // No closes the window, Yes once the contact is saved; Cancel or a failed save keeps it, unless
    // the failure's prompt said Cancel.
    if (asksBeforeClosing_ && anyTyped && !ContactForm::settleChanges(platform(), [this] { return save(); })
        && asksBeforeClosing_) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace pw
