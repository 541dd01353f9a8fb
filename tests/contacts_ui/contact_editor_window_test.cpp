#include "contacts_ui/contact_editor_window.h"
#include "data/contact_record.h"
#include "data/contacts_file.h"
#include "support/main_window_fixture.h"
#include "support/qt_printers.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <cstdio>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

// A contact as the editor itself stores it, so that saving it unchanged rewrites the same bytes.
ContactRecord person(const QString& first, const QString& middle, const QString& last, const QString& company = {})
{
    return {first, middle, last, u"12 Main St"_s, {}, u"Reno"_s, u"NV"_s, u"89501"_s, u"USA"_s, u"555-0100"_s, {}, {},
            first.toLower() + u"@example.com"_s, u"19800410"_s, u"Golf;Club"_s, u"Met at the lake"_s, company,
            company.isEmpty() ? u"0"_s : u"1"_s, u"1"_s};
}

class ContactEditorTest : public MainWindowTest {
protected:
    QList<ContactRecord> stored{person(u"Cy"_s, u"R"_s, u"Fox"_s), person(u"ann"_s, {}, u"Lee"_s, u"Acme"_s),
                                person(u"Bob"_s, u"Q"_s, u"Ray"_s)};

    void SetUp() override
    {
        stored[2].Birthdate.clear();  // stored as eight spaces
        folder.write(u"PWK_Contacts.DAT"_s, record(1) + record(2) + record(3));
        ASSERT_TRUE(startUp());
    }
    QByteArray file() const { return folder.read(u"PWK_Contacts.DAT"_s); }
    QByteArray record(int n) const { return stored[n - 1].encode(); }

    ContactEditorWindow* editor() const { return find<ContactEditorWindow>("frmEdDelViewContact"); }
    ContactEditorWindow* openEditor(const char* command = "mnuEdit")
    {
        if (auto* action = find<QAction>(command))
            action->trigger();
        else
            click(command);
        settle();
        if (editor())
            activate(editor());
        return editor();
    }

    QComboBox* findList() const { return find<QComboBox>("cboFindContact"); }
    QStringList listed() const
    {
        QStringList texts;
        for (int i = 0; i < findList()->count(); ++i)
            texts << findList()->itemText(i) + u'#' + findList()->itemData(i).toString();
        return texts;
    }
    void pick(const QString& text)
    {
        const int index = findList()->findText(text);
        findList()->setCurrentIndex(index);
        emit findList()->activated(index);
    }
    QLineEdit* box(const char* name) const { return find<QLineEdit>(name); }
    bool editable() const
    {
        return box("txtACFName")->isEnabled() && box("txtACNotes")->isEnabled() &&
               find<QCheckBox>("chkCompanyInclude")->isEnabled() && find<QPushButton>("cmdSave")->isEnabled() &&
               find<QPushButton>("cmdDelete")->isEnabled() && find<QPushButton>("cmdPrintLabel")->isEnabled();
    }
    QList<Message> takeMessages() { return std::exchange(platform.messages, {}); }
};

const Message kEndOfFile{u"End of file."_s, u"No more contacts"_s};
const Message kStartOfFile{u"Beginning of file."_s, u"Start of file reached"_s};

TEST_F(ContactEditorTest, EveryCommandOpensItWithNoContactAndTheSortedFindList)
{
    for (const char* command : {"mnuEdit", "mnuFind", "mnuDelete", "mnuViewOne", "cmdFindContact"}) {
        SCOPED_TRACE(command);
        ContactEditorWindow* w = openEditor(command);
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(w->windowTitle(), u"Contact Information  [PWK_Contacts]");
        EXPECT_EQ(focusName(), u"cboFindContact");
        EXPECT_EQ(findList()->currentIndex(), -1);
        EXPECT_EQ(findList()->placeholderText(), u"Select Contact");
        EXPECT_EQ(listed(), (QStringList{u"ann  Lee#2"_s, u"Bob Q Ray#3"_s, u"Cy R Fox#1"_s}));
        EXPECT_EQ(w->currentRecord(), 0);
        EXPECT_EQ(box("txtACFName")->text(), u"");
        EXPECT_FALSE(box("txtACFName")->isEnabled() || find<QPushButton>("cmdSave")->isEnabled() ||
                     find<QPushButton>("cmdDelete")->isEnabled() || find<QPushButton>("cmdPrintLabel")->isEnabled());
        EXPECT_TRUE(find<QCheckBox>("chkCompanyInclude")->isHidden() && find<QLabel>("lblACCompOnLabel")->isHidden());
        if (QByteArrayView(command) == "cmdFindContact")
            QTest::keyClick(w, Qt::Key_Escape);
        else
            click("cmdCancel");
        settle();
        EXPECT_EQ(editor(), nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(focusName(), u"txtLMLine1");
    }
}

TEST_F(ContactEditorTest, PickingOrTypingANameShowsThatContactEditable)
{
    openEditor();
    pick(u"ann  Lee"_s);
    EXPECT_EQ(editor()->currentRecord(), 2);
    EXPECT_TRUE(editable());
    EXPECT_EQ(box("txtACCompany")->text(), u"Acme");
    EXPECT_EQ(box("txtACBirthdate")->text(), u"04/10/1980");
    EXPECT_TRUE(find<QCheckBox>("chkCompanyInclude")->isVisible() && find<QCheckBox>("chkCompanyInclude")->isChecked());
    // Texts show from their start, however long.
    for (const char* name : {"txtACEmail", "txtACCategory", "txtACNotes"})
        EXPECT_EQ(box(name)->cursorPosition(), 0) << name;

    // Typing in the closed list jumps to the first name that starts with the typed letters.
    QTest::keyClicks(findList(), u"c"_s);
    EXPECT_EQ(findList()->currentText(), u"Cy R Fox");
    EXPECT_EQ(editor()->currentRecord(), 1);
    EXPECT_EQ(box("txtACLName")->text(), u"Fox");
    EXPECT_TRUE(find<QCheckBox>("chkCompanyInclude")->isHidden());
}

TEST_F(ContactEditorTest, NavigationStopsAtBothEndsWithItsMessageAndKeepsTheContact)
{
    openEditor();
    click("cmdPrevious");
    click("cmdNext");
    EXPECT_EQ(editor()->currentRecord(), 1);
    EXPECT_FALSE(editable());  // browsing stays read-only until a contact is picked
    click("cmdLast");
    click("cmdNext");
    EXPECT_EQ(takeMessages(), (QList<Message>{kStartOfFile, kEndOfFile}));
    EXPECT_EQ(editor()->currentRecord(), 3);
    EXPECT_EQ(box("txtACFName")->text(), u"Bob");

    pick(u"ann  Lee"_s);
    click("cmdFirst");
    click("cmdPrevious");
    EXPECT_EQ(takeMessages(), QList<Message>{kStartOfFile});
    EXPECT_EQ(box("txtACFName")->text(), u"Cy");
    EXPECT_TRUE(editable());
    EXPECT_EQ(findList()->currentIndex(), -1);  // each step lists the file afresh

}

TEST_F(ContactEditorTest, FirstAndLastOnAFileWithoutRecordsSayWhichEndTheyHitAndShowNothing)
{
    folder.write(u"empty.DAT"_s, {});
    platform.answerFileDialog(folder.file(u"empty.DAT"_s));
    find<QAction>("mnuFileOpen")->trigger();
    openEditor();
    click("cmdFirst");
    click("cmdLast");
    EXPECT_EQ(takeMessages(), (QList<Message>{kEndOfFile, kStartOfFile}));
    EXPECT_EQ(editor()->currentRecord(), 0);
    EXPECT_EQ(box("txtACLName")->text(), u"");
}

TEST_F(ContactEditorTest, SaveRewritesOnlyTheChangedFieldAndTheListCatchesUpAtTheNextStep)
{
    openEditor();
    pick(u"Bob Q Ray"_s);
    EXPECT_EQ(box("txtACBirthdate")->text(), u"");
    click("cmdSave");
    EXPECT_EQ(takeMessages(), (QList<Message>{Message{u"S A V E D"_s, u"Changes saved"_s}}));
    EXPECT_EQ(file(), record(1) + record(2) + record(3));  // the birthdate of spaces included

    box("txtACFName")->setText(u"Rob"_s);
    click("cmdSave");
    QByteArray expected = record(1) + record(2) + record(3);
    EXPECT_EQ(file(), expected.replace(2 * 518, 3, "Rob"));
    EXPECT_GE(findList()->findText(u"Bob Q Ray"_s), 0);
    click("cmdPrevious");
    EXPECT_GE(findList()->findText(u"Rob Q Ray"_s), 0);

    // The file shrank under the editor: the record number is refused, nothing written.
    pick(u"Rob Q Ray"_s);
    ASSERT_TRUE(window->contactsFile().remove(3));
    const QByteArray before = file();
    click("cmdSave");
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[1].text,
              u"An error has occurred. Error number 63 -- Bad record number.  Try again, or notify author.");
    EXPECT_EQ(file(), before);
    EXPECT_TRUE(editor()->isVisible());  // Retry
}

TEST_F(ContactEditorTest, SaveLeavesTheFieldsTheUserDidNotChangeAsImported)
{
    // As an import stores a contact: the phones, the commas and the country as written.
    ContactRecord imported = person(u"Ann"_s, {}, u"Roy"_s);
    imported.HomePhone = u"+1 418 555 0100"_s;
    imported.WorkPhone = u"(646) 555-0177"_s;
    imported.Notes = u"club, likes jazz"_s;
    imported.Country = u"Canada"_s;
    imported.Email = u"ann roy@example"_s;
    imported.BirthdayReminders = u"0"_s;
    ASSERT_TRUE(window->contactsFile().overwrite(2, imported));
    const QByteArray asImported = file();

    openEditor();
    pick(u"Ann  Roy"_s);
    click("cmdSave");
    EXPECT_EQ(takeMessages(), (QList<Message>{Message{u"S A V E D"_s, u"Changes saved"_s}}));
    EXPECT_EQ(file(), asImported);

    // Only the changed box is cleaned and checked; a typed phone keeps its leading "+".
    box("txtACCity")->setText(u"Qu\u00e9bec,"_s);
    box("txtACCPhone")->setText(u"+44 (20) 7946 0018"_s);
    click("cmdSave");
    EXPECT_EQ(takeMessages(), (QList<Message>{Message{u"S A V E D"_s, u"Changes saved"_s}}));
    ContactRecord expected = imported;
    expected.City = u"Qu\u00e9bec"_s;
    expected.CellPhone = u"+4420-79460018"_s;
    expected.BirthdayReminders = u"1"_s;
    EXPECT_EQ(file().mid(518, 518), expected.encode());
    EXPECT_EQ(box("txtACHPhone")->text(), u"+1 418 555 0100"_s);
    EXPECT_EQ(box("txtACNotes")->text(), u"club, likes jazz"_s);
}

TEST_F(ContactEditorTest, EveryWayOffAChangedContactAsksFirst)
{
    openEditor();
    pick(u"ann  Lee"_s);
    click("cmdNext");  // unchanged: no question
    EXPECT_TRUE(takeMessages().isEmpty());

    // Cancel, the default, keeps the contact and the change, whichever way off it was.
    pick(u"Cy R Fox"_s);
    box("txtACCity")->setText(u"Sparks"_s);
    for (int i = 0; i < 7; ++i)
        platform.answerMessage(MessageResult::Cancel);
    for (const char* button : {"cmdFirst", "cmdPrevious", "cmdNext", "cmdLast"})
        click(button);
    pick(u"Bob Q Ray"_s);
    QTest::keyClick(box("txtACCity"), Qt::Key_Escape);
    click("cmdCancel");
    settle();
    // The same question as Add Contact's.
    const QList<Message> asked = takeMessages();
    ASSERT_EQ(asked.size(), 7);
    const Message question = asked[0];
    EXPECT_EQ(question.text, u"Save changes to this contact?");
    EXPECT_EQ(asked, QList<Message>(7, question));
    ASSERT_NE(editor(), nullptr);
    EXPECT_EQ(editor()->currentRecord(), 1);
    EXPECT_EQ(findList()->currentText(), u"Cy R Fox");
    EXPECT_EQ(box("txtACCity")->text(), u"Sparks");

    // No goes on without saving; Yes saves, then goes on.
    platform.answerMessage(MessageResult::No);
    click("cmdNext");
    EXPECT_EQ(file(), record(1) + record(2) + record(3));
    box("txtACCity")->setText(u"Sparks"_s);
    platform.answerMessage(MessageResult::Yes);
    pick(u"Bob Q Ray"_s);
    EXPECT_EQ(takeMessages(), (QList<Message>{question, question, Message{u"S A V E D"_s, u"Changes saved"_s}}));
    ContactRecord changed = stored[1];
    changed.City = u"Sparks"_s;
    EXPECT_EQ(file(), record(1) + changed.encode() + record(3));
    EXPECT_EQ(editor()->currentRecord(), 3);

    box("txtACCity")->setText(u"Elko"_s);
    platform.answerMessage(MessageResult::No);
    click("cmdCancel");
    settle();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_EQ(file(), record(1) + changed.encode() + record(3));
}

TEST_F(ContactEditorTest, DeleteAsksFirstAndReportsOnlyOnceTheFileIsCompacted)
{
    openEditor();
    pick(u"ann  Lee"_s);
    platform.answerMessage(MessageResult::No);
    click("cmdDelete");
    const Message question{u"WARNING!  This will delete entire contact from your file.\n"
                           "Do you REALLY want to delete this contact, ann Lee?"_s,
                           u"Confirm deletion."_s, MessageIcon::None, MessageButtons::YesNo, false, MessageResult::No};
    EXPECT_EQ(takeMessages(), (QList<Message>{question, Message{u"Nothing deleted..."_s, u"Deletion not performed."_s}}));
    EXPECT_EQ(file(), record(1) + record(2) + record(3));
    EXPECT_EQ(focusName(), u"cmdCancel");

    QByteArray whenReported;
    platform.answerMessage(MessageResult::Yes);
    platform.answerMessage(MessageResult::Ok, [&] { whenReported = file(); });
    click("cmdDelete");
    EXPECT_EQ(takeMessages(), (QList<Message>{question, Message{u"Contact deleted!"_s, u"Contact deleted."_s}}));
    EXPECT_EQ(whenReported, record(1) + record(3));
    settle();
    EXPECT_EQ(editor(), nullptr);
    EXPECT_TRUE(window->isVisible());
    openEditor();
    EXPECT_EQ(listed(), (QStringList{u"Bob Q Ray#2"_s, u"Cy R Fox#1"_s}));
}

TEST_F(ContactEditorTest, UndoDeletePutsTheContactBackUntilTheFileChangesAgain)
{
    const auto undoItem = [this] {
        emit find<QMenu>("mnuLMEdit")->aboutToShow();
        QAction* item = find<QAction>("mnuLMEditUndoDelete");
        return item->isVisible() ? item->text() : QString();
    };
    const auto deleteContact = [this](const QString& name) {
        openEditor();
        pick(name);
        platform.answerMessage(MessageResult::Yes);
        click("cmdDelete");
        settle();
    };
    EXPECT_EQ(undoItem(), u"");
    deleteContact(u"ann  Lee"_s);
    ASSERT_EQ(file(), record(1) + record(3));
    EXPECT_EQ(undoItem(), u"Undo Delete of ann Lee");
    takeMessages();
    find<QAction>("mnuLMEditUndoDelete")->trigger();
    EXPECT_EQ(file(), record(1) + record(2) + record(3));
    EXPECT_EQ(takeMessages(), (QList<Message>{Message{u"ann Lee is back in the file as contact 2."_s,
                                                      u"Delete undone"_s, MessageIcon::Information}}));
    EXPECT_EQ(undoItem(), u"");
    openEditor();
    EXPECT_EQ(listed(), (QStringList{u"ann  Lee#2"_s, u"Bob Q Ray#3"_s, u"Cy R Fox#1"_s}));
    click("cmdCancel");
    settle();

    // Another program's change since the delete withdraws it.
    deleteContact(u"Cy R Fox"_s);
    EXPECT_EQ(undoItem(), u"Undo Delete of Cy Fox");
    {
        ContactsFile other;
        ASSERT_TRUE(other.open(folder.file(u"PWK_Contacts.DAT"_s)));
        ASSERT_TRUE(other.overwrite(2, person(u"Bob"_s, u"Q"_s, u"Ray"_s, u"Acme"_s)));
    }
    EXPECT_EQ(undoItem(), u"");
}

TEST_F(ContactEditorTest, ADeleteThatFailsHalfwayKeepsEveryContactAndSaysSo)
{
    openEditor();
    pick(u"ann  Lee"_s);
    // A folder in place of the scratch file once the record is marked: the copy cannot be written.
    const QString scratch = ContactsFile::scratchPathFor(window->currentFilePath());
    window->contactsFile().setRemovalProbe([&](ContactsFile::RemovalStep step) {
        if (step == ContactsFile::RemovalStep::Marked)
            QFile::remove(scratch), QDir(folder.path()).mkdir(QFileInfo(scratch).fileName());
        return true;
    });
    platform.answerMessage(MessageResult::Yes);
    click("cmdDelete");
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_TRUE(platform.messages[1].text.startsWith(u"An error has occurred. Error number 21 -- Is a directory."));
    EXPECT_EQ(file(), record(1) + record(2) + record(3));
    EXPECT_TRUE(editor()->isVisible());
}

// A sync client renames another file over the open one: the editor says so and opens it, saves
// nothing over someone else, and the next save lands in the new file.
TEST_F(ContactEditorTest, AFileReplacedUnderTheEditorIsNamedFollowedAndSavedInto)
{
    openEditor();
    pick(u"Bob Q Ray"_s);
    const ContactRecord dee = person(u"Dee"_s, {}, u"Park"_s);
    const QByteArray replacement = record(1) + record(3) + dee.encode();  // ann went elsewhere
    folder.write(u"new.DAT"_s, replacement);
    ASSERT_EQ(::rename(QFile::encodeName(folder.file(u"new.DAT"_s)).constData(),
                       QFile::encodeName(folder.file(u"PWK_Contacts.DAT"_s)).constData()),
              0);

    box("txtACFName")->setText(u"Rob"_s);
    click("cmdSave");
    const Message replaced{QDir::toNativeSeparators(window->currentFilePath())
                               + u" was replaced by another program (a sync client or an editor, perhaps) since "
                                 "Postwick opened it.  Postwick now opens the file at that path, and your work goes "
                                 "into it."_s,
                           u"Contacts file replaced"_s, MessageIcon::Information};
    const Message notFound{u"This contact is not where it was in the new file, so nothing was changed.  Find the "
                           "contact again."_s,
                           u"Contact not found"_s, MessageIcon::Information};
    EXPECT_EQ(takeMessages(), (QList<Message>{replaced, notFound}));
    EXPECT_EQ(file(), replacement);
    EXPECT_FALSE(find<QPushButton>("cmdSave")->isEnabled());
    EXPECT_EQ(box("txtACFName")->text(), u"Rob");

    pick(u"Bob Q Ray"_s);
    box("txtACFName")->setText(u"Rob"_s);
    click("cmdSave");
    EXPECT_EQ(takeMessages(), (QList<Message>{Message{u"S A V E D"_s, u"Changes saved"_s}}));
    QByteArray expected = replacement;
    EXPECT_EQ(file(), expected.replace(518, 3, "Rob"));
}

TEST_F(ContactEditorTest, TypingACompanyShowsTheIncludeBoxCheckedWhileThereIsOne)
{
    openEditor();
    pick(u"Cy R Fox"_s);
    auto* include = find<QCheckBox>("chkCompanyInclude");
    EXPECT_TRUE(include->isHidden());
    QTest::keyClicks(box("txtACCompany"), u"Zenith"_s);
    EXPECT_TRUE(include->isVisible() && include->isChecked() && find<QLabel>("lblACCompOnLabel")->isVisible());
    // A click on its text toggles the box, as a click on the box does.
    QTest::mouseClick(find<QLabel>("lblACCompOnLabel"), Qt::LeftButton);
    EXPECT_FALSE(include->isChecked());
    QTest::mouseClick(find<QLabel>("lblACCompOnLabel"), Qt::LeftButton);
    EXPECT_TRUE(include->isChecked());
    box("txtACCompany")->selectAll();
    QTest::keyClick(box("txtACCompany"), Qt::Key_Delete);
    EXPECT_TRUE(include->isVisible());
    EXPECT_FALSE(include->isChecked());
}

TEST_F(ContactEditorTest, PrintLabelFillsTheMainWindowsLinesAndTheEditorComesBackAsLeft)
{
    find<QCheckBox>("chkBold")->show();
    find<QCheckBox>("chkBold")->setChecked(true);
    openEditor();
    pick(u"ann  Lee"_s);
    box("txtACSStreet")->setText(u"Apt 4"_s);  // unsaved: the label takes what is shown
    click("cmdPrintLabel");
    settle();
    const auto lines = [&] {
        QStringList out;
        for (const char* name : {"txtLMLine1", "txtLMLine2", "txtLMline3", "txtLMLine4", "txtLMLine5"})
            out << box(name)->text();
        return out;
    };
    EXPECT_FALSE(editor()->isVisible());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(lines(), (QStringList{u"ann Lee"_s, u"Acme"_s, u"12 Main St"_s, u"Apt 4"_s, u"Reno, NV  89501"_s}));
    EXPECT_TRUE(!find<QCheckBox>("chkBold")->isChecked() && find<QCheckBox>("chkBold")->isHidden());
    EXPECT_EQ(focusName(), u"txtLMLine1");

    ContactEditorWindow* hidden = editor();
    EXPECT_EQ(openEditor("cmdFindContact"), hidden);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(hidden->currentRecord(), 2);
    EXPECT_EQ(box("txtACSStreet")->text(), u"Apt 4");
    EXPECT_EQ(findList()->currentText(), u"ann  Lee");

    find<QCheckBox>("chkCompanyInclude")->setChecked(false);
    box("txtACSStreet")->clear();
    click("cmdPrintLabel");
    EXPECT_EQ(lines(), (QStringList{u"ann Lee"_s, u"12 Main St"_s, u"Reno, NV  89501"_s, {}, {}}));

    // Posted from Canada, mail to the United States takes that country's city line and names the
    // country last.
    platform.answerInput(u" Canada "_s);
    find<QAction>("mnuHomeCountry")->trigger();
    EXPECT_EQ(platform.inputs.last().title, u"Home Country");
    EXPECT_EQ(platform.inputs.last().defaultText, u"United States");
    EXPECT_EQ(platform.settings.value(u"Postwick/Settings/HomeCountry"_s), u"Canada");
    openEditor("cmdFindContact");
    click("cmdPrintLabel");
    EXPECT_EQ(lines(), (QStringList{u"ann Lee"_s, u"12 Main St"_s, u"RENO, NV 89501"_s, u"USA"_s, {}}));
}

TEST_F(ContactEditorTest, AHiddenEditorGoesWithItsFileAndAtExit)
{
    folder.write(u"other.DAT"_s, person(u"Dee"_s, {}, u"Kim"_s).encode());
    for (const char* change : {"mnuFileOpen", "mnuFileClose", "mnuFileExit"}) {
        SCOPED_TRACE(change);
        ASSERT_TRUE(startUp());
        openEditor();
        pick(u"Cy R Fox"_s);
        click("cmdPrintLabel");
        QPointer<ContactEditorWindow> hidden = editor();
        platform.answerFileDialog(folder.file(u"other.DAT"_s));
        find<QAction>(change)->trigger();
        settle();
        EXPECT_TRUE(hidden.isNull());
    }
    ASSERT_TRUE(startUp());
    platform.answerFileDialog(folder.file(u"other.DAT"_s));
    find<QAction>("mnuFileOpen")->trigger();
    openEditor();
    EXPECT_EQ(editor()->currentRecord(), 0);
    EXPECT_EQ(editor()->windowTitle(), u"Contact Information  [other]");
    EXPECT_EQ(listed(), QStringList{u"Dee  Kim#1"_s});
}

TEST_F(ContactEditorTest, OpenedWithARecordItShowsThatContactEditable)
{
    window->openContactEditor(3);
    settle();
    EXPECT_EQ(editor()->currentRecord(), 3);
    EXPECT_EQ(box("txtACFName")->text(), u"Bob");
    EXPECT_TRUE(editable());
}

TEST_F(ContactEditorTest, FilePrintPrintsTheSheetOrTheFocusedBoxsSelection)
{
    openEditor();
    platform.answerPrintDialog(PrintChoice{1});
    find<QAction>("mnuEDVPrint")->trigger();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[0].texts[0].text, u"Postwick");  // an empty form still prints

    pick(u"Cy R Fox"_s);
    box("txtACCity")->setFocus();
    box("txtACCity")->selectAll();
    platform.answerPrintDialog(PrintChoice{1, true});
    find<QAction>("mnuEDVPrint")->trigger();
    ASSERT_EQ(platform.printerSurface.jobs.size(), 2);
    ASSERT_EQ(platform.printerSurface.jobs[1].texts.size(), 1);
    EXPECT_EQ(platform.printerSurface.jobs[1].texts[0].text, u"Reno");
}

}  // namespace
}  // namespace pw::test
