#include "contacts_ui/contact_editor_window.h"

#include "contacts_ui/contact_form.h"
#include "contacts_ui/contact_printouts.h"
#include "contacts_ui/find_list.h"
#include "data/contacts_session.h"
#include "data/text_rules.h"
#include "platform/error_prompt.h"
#include "platform/platform.h"
#include "printing/mailing_address.h"
#include "widgets/named_widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace pw {
namespace {

Message info(const char* text, const char* title)
{
    return {QString::fromLatin1(text), QString::fromLatin1(title)};
}

}  // namespace

ContactEditorWindow::ContactEditorWindow(Platform& platform, ContactsSession& session, QWidget* parent)
    : SecondaryWindow(platform, "frmEdDelViewContact", QStringLiteral("Contact Information"), session.title(), parent),
      session_(session)
{
    buildMenus();

    form_ = new ContactForm(FormVariant::Editor, platform);
    cmdSave_ = named<QPushButton>("cmdSave", QStringLiteral("&Save changes"));
    cmdDelete_ = named<QPushButton>("cmdDelete", QStringLiteral("&Delete contact"));
    cmdPrintLabel_ = named<QPushButton>("cmdPrintLabel", QStringLiteral("Print &Label"));
    cmdCancel_ = namedWithTip<QPushButton>("cmdCancel", QStringLiteral("&Close"), QStringLiteral("Return to main screen"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton* b : {cmdSave_, cmdDelete_, cmdPrintLabel_, cmdCancel_})
        buttons->addWidget(b);

    auto* central = new QWidget;
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(buildNavigation());
    layout->addWidget(form_);
    layout->addLayout(buttons);
    setCentralWidget(central);

    setTabOrder(cboFindContact_, form_->box(ContactBox::FName));
    QWidget* previous = form_->findChild<QPushButton*>(QStringLiteral("cmdZipFinder"));
    for (const char* name : {"cmdSave", "cmdDelete", "cmdPrintLabel", "cmdCancel", "cmdFirst", "cmdPrevious",
                             "cmdNext", "cmdLast"}) {
        QWidget* next = findChild<QPushButton*>(QString::fromLatin1(name));
        setTabOrder(previous, next);
        previous = next;
    }

    // Typing a company shows the include-company box, checked while there is a company.
    connect(form_->box(ContactBox::Company), &QLineEdit::textEdited, this, [this](const QString& company) {
        showIncludeCompany(true);
        form_->includeCompany()->setChecked(!company.isEmpty());
    });
    connect(cboFindContact_, &QComboBox::activated, this, &ContactEditorWindow::pickEntry);
    connect(cmdSave_, &QPushButton::clicked, this, [this] { save(); });
    connect(cmdDelete_, &QPushButton::clicked, this, &ContactEditorWindow::deleteContact);
    connect(cmdPrintLabel_, &QPushButton::clicked, this, &ContactEditorWindow::printLabel);
    connect(cmdCancel_, &QPushButton::clicked, this, &QWidget::close);
}

QWidget* ContactEditorWindow::buildNavigation()
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    cboFindContact_ = new QComboBox;
    cboFindContact_->setObjectName(QStringLiteral("cboFindContact"));
    cboFindContact_->setPlaceholderText(QStringLiteral("Select Contact"));
    findList_ = new FindListModel(this);
    setUpFindListBox(cboFindContact_, findList_);
    layout->addWidget(cboFindContact_);
    layout->addStretch();

    const struct {
        const char* name;
        const char* caption;
        const char* toolTip;
        Step step;
    } steps[] = {
        {"cmdFirst", "|<", "Jump to first contact in file", Step::First},
        {"cmdPrevious", "<", "Previous contact", Step::Previous},
        {"cmdNext", ">", "Next contact", Step::Next},
        {"cmdLast", ">|", "Jump to last contact in file", Step::Last},
    };
    for (const auto& s : steps) {
        auto* b = namedWithTip<QPushButton>(s.name, QString::fromLatin1(s.caption), QString::fromLatin1(s.toolTip));
        b->setMaximumWidth(b->fontMetrics().horizontalAdvance(QStringLiteral("M>|M")) * 2);
        connect(b, &QPushButton::clicked, this, [this, step = s.step] { this->step(step); });
        layout->addWidget(b);
    }
    return row;
}

void ContactEditorWindow::buildMenus()
{
    QMenu* file = addMenu(menuBar(), "mnuEDVFile", QStringLiteral("&File"));
    QAction* print = addItem(file, "mnuEDVPrint", QStringLiteral("&Print"));
    print->setShortcut(QKeySequence::Print);
    connect(print, &QAction::triggered, this, &ContactEditorWindow::printDetails);

    addEditMenu("mnuEDVEdit", "mnuEDVCut", "mnuEDVCopy", "mnuEDVPaste");
    addHelpMenu("mnuEDVHelp", "mnuEDVManual", "mnuEDVAbout");
}

void setUpFindListBox(QComboBox* box, FindListModel* model)
{
    box->setModel(model);
    if (auto* view = qobject_cast<QListView*>(box->view()))
        view->setUniformItemSizes(true);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(36);
    box->setMaxVisibleItems(20);
    // A popup list as tall as the screen would also be measured against every entry when it opens.
    box->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
}

bool ContactEditorWindow::open()
{
    fillFindList();
    if (!isVisible())  // Cancel at an error prompt closed it
        return false;
    cboFindContact_->setFocus();
    showIncludeCompany(false);
    const ContactBoxTexts boxes = form_->texts();
    if (boxes[ContactBox::FName].isEmpty() && boxes[ContactBox::LName].isEmpty() && boxes[ContactBox::Email].isEmpty())
        setEditingEnabled(false);
    return true;
}

void ContactEditorWindow::showPicked(int record)
{
    current_ = record;
    if (!showRecord(record))
        return;
    setEditingEnabled(true);
    fillFindList();
}

bool ContactEditorWindow::fillFindList()
{
    auto entries = readFindList(session_.file());
    if (!entries) {
        reportFailure(entries.error());
        return false;
    }
    findList_->setList(std::move(*entries));
    // A model reset selects the first entry; the list shows its prompt until a contact is picked.
    cboFindContact_->setCurrentIndex(-1);
    pickedIndex_ = -1;
    return true;
}

bool ContactEditorWindow::showRecord(int n)
{
    auto record = session_.file().read(n);
    if (!record) {
        reportFailure(record.error());
        return false;
    }
    form_->setTexts(boxTextsOf(*record));
    form_->includeCompany()->setChecked(record->includeCompanyChecked());
    showIncludeCompany(!record->Company.isEmpty());
    noteLoaded(*record);
    return true;
}

void ContactEditorWindow::setEditingEnabled(bool enabled)
{
    for (std::size_t i = 0; i < kContactBoxCount; ++i)
        form_->box(static_cast<ContactBox>(i))->setEnabled(enabled);
    for (QWidget* w : std::initializer_list<QWidget*>{form_->includeCompany(), form_->includeCompanyLabel(), cmdSave_,
                                                      cmdDelete_, cmdPrintLabel_})
        w->setEnabled(enabled);
}

void ContactEditorWindow::showIncludeCompany(bool shown)
{
    form_->includeCompany()->setVisible(shown);
    form_->includeCompanyLabel()->setVisible(shown);
}

void ContactEditorWindow::pickEntry(int index)
{
    const QVariant record = findList_->index(index).data(Qt::UserRole);
    if (!record.isValid())
        return;
    if (!changesSettled()) {
        cboFindContact_->setCurrentIndex(pickedIndex_);
        return;
    }
    pickedIndex_ = cboFindContact_->currentIndex();
    current_ = record.toInt();
    if (showRecord(current_))
        setEditingEnabled(true);
}

void ContactEditorWindow::step(Step step)
{
    if (!changesSettled())
        return;
    auto count = session_.file().recordCount();
    if (!count) {
        reportFailure(count.error());
        return;
    }
    const Message endOfFile = info("End of file.", "No more contacts");
    const Message startOfFile = info("Beginning of file.", "Start of file reached");
    const int n = *count;
    int target = 0;
    // On a file without records First and Last have nothing to show: they say which end they hit.
    switch (step) {
    case Step::First: target = n >= 1 ? 1 : 0; break;
    case Step::Last: target = n; break;
    case Step::Next: target = n >= current_ + 1 ? current_ + 1 : 0; break;
    case Step::Previous: target = current_ - 1 >= 1 ? current_ - 1 : 0; break;
    }
    if (target == 0) {
        const bool forward = step == Step::First || step == Step::Next;
        platform().message(forward ? endOfFile : startOfFile);
        return;
    }
    if (!showRecord(target))
        return;
    current_ = target;
    fillFindList();
}

bool ContactEditorWindow::save()
{
    Platform& platform = this->platform();
    const std::optional<ContactRecord> record = form_->recordToSave(platform, session_.remindersOn(), &loaded_);
    if (!record || !contactStillInPlace())
        return false;
    // The record number is checked against the file as it is now: one that the file no longer
    // reaches is refused rather than written past the end. A contact saved unchanged is only looked
    // for, not written: the file keeps the very bytes it was read from.
    Status saved;
    if (*record != loaded_.record)
        saved = session_.file().overwrite(current_, *record);
    else if (auto stillThere = session_.file().read(current_); !stillThere)
        saved = std::unexpected(stillThere.error());
    if (!saved) {
        reportFailure(saved.error());
        return false;
    }
    if (record->remindersOn())
        session_.noteSavedWithRemindersOn();
    noteLoaded(*record);
    platform.message(info("S A V E D", "Changes saved"));
    return true;
}

bool ContactEditorWindow::contactStillInPlace()
{
    if (!session_.replaced())
        return true;
    if (!followReplacedFile(platform(), session_))
        return false;
    if (const auto record = session_.file().read(current_); record && *record == loaded_.record)
        return true;
    platform().message({QStringLiteral("This contact is not where it was in the new file, so nothing was changed.  "
                                       "Find the contact again."),
                        QStringLiteral("Contact not found"), MessageIcon::Information});
    // What was typed stays to be copied; nothing is saved over another contact.
    setEditingEnabled(false);
    noteLoaded(loaded_.record);
    fillFindList();
    return false;
}

void ContactEditorWindow::noteLoaded(const ContactRecord& record)
{
    loaded_ = {form_->texts(), form_->includeCompany()->isChecked(), record};
}

bool ContactEditorWindow::changesSettled()
{
    if (form_->texts() == loaded_.boxes && form_->includeCompany()->isChecked() == loaded_.includeCompany)
        return true;
    return ContactForm::settleChanges(platform(), [this] { return save(); });
}

void ContactEditorWindow::closeWithoutAsking()
{
    asksBeforeClosing_ = false;
    close();
}

void ContactEditorWindow::deleteContact()
{
    Platform& platform = this->platform();
    // The question names whom it deletes, and Enter keeps the contact.
    const ContactBoxTexts shown = form_->texts();
    const QString name = trimBlanks(shown[ContactBox::FName] + u' ' + shown[ContactBox::LName]);
    const Message question{QStringLiteral("WARNING!  This will delete entire contact from your file.\n"
                                          "Do you REALLY want to delete this contact, %1?")
                               .arg(name),
                           QStringLiteral("Confirm deletion."), MessageIcon::None, MessageButtons::YesNo, false,
                           MessageResult::No};
    if (platform.message(question) != MessageResult::Yes) {
        platform.message(info("Nothing deleted...", "Deletion not performed."));
        cmdCancel_->setFocus();
        return;
    }
    if (!contactStillInPlace())
        return;
    // Success is reported only once the file without the contact is in place.
    auto removed = session_.file().removeUndoably(current_, name);
    if (!removed) {
        reportFailure(removed.error());
        return;
    }
    session_.setLastDelete(std::move(*removed));
    platform.message(info("Contact deleted!", "Contact deleted."));
    form_->setTexts({});
    closeWithoutAsking();
}

void ContactEditorWindow::printLabel()
{
    const LabelLines lines =
        addressLabelLines(form_->texts(), form_->includeCompany()->isChecked(), homeCountry(platform()));
    // Only hidden: the next opening from the main window shows the editor as it is now.
    hide();
    emit labelLinesChosen(lines);
}

void ContactEditorWindow::printDetails()
{
    std::optional<QString> selection;
    if (auto* box = qobject_cast<QLineEdit*>(focusWidget()))
        selection = box->selectedText();
    printContactDetails(platform(), form_->texts(), selection);
}

void ContactEditorWindow::reportFailure(const FileError& error)
{
    if (showErrorPrompt(platform(), error) == MessageResult::Cancel)
        closeWithoutAsking();
}

void ContactEditorWindow::closeEvent(QCloseEvent* event)
{
    // Cancel or a failed save keeps the window, unless the failure's prompt said Cancel.
    if (asksBeforeClosing_ && !changesSettled() && asksBeforeClosing_) {
        event->ignore();
        return;
    }
    current_ = 0;
    event->accept();
}

}  // namespace pw
