#include "data/contacts_file.h"
#include "support/main_window_fixture.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

class MainWindowFiles : public MainWindowTest {
protected:
    // The window's own settings: its place and size.
    qsizetype windowSettings() const
    {
        const QStringList keys = platform.settings.keys();
        return std::count_if(keys.begin(), keys.end(), [](const QString& k) { return k.startsWith(u"Postwick/Settings/"); });
    }
    void writeContacts(const QString& name, const QString& reminders)
    {
        ContactsFile file;
        ASSERT_TRUE(file.open(folder.file(name)));
        ContactRecord r;
        r.FirstName = QStringLiteral("Ann");
        r.BirthdayReminders = reminders;
        ASSERT_TRUE(file.append(r));
    }
    bool enabled(const char* name) const
    {
        if (auto* action = find<QAction>(name))
            return action->isEnabled();
        return find<QWidget>(name)->isEnabled();
    }
    QString text(const char* name) const { return find<QLineEdit>(name)->text(); }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }
};

TEST_F(MainWindowFiles, FirstStartCreatesAnEmptyDefaultFileAndTheDeliveredParameters)
{
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), u"Postwick");
    EXPECT_TRUE(QFile::exists(folder.file("PWK_Contacts.DAT")));
    EXPECT_EQ(folder.read("PWK_Contacts.DAT").size(), 0);
    EXPECT_EQ(folder.read("PWKPARAM.TXT"),
              QByteArray("ONTHEFLY 0   0  \r\nENVELOPE 0   0  \r\nRETURNAD 0   0  \r\nBULKLIST 0   0  \r\n"));
    EXPECT_EQ(text("txtFileNam"), QDir(folder.path()).filePath("PWK_Contacts.DAT"));
    EXPECT_EQ(text("txtFileTitle"), u"PWK_Contacts");
    EXPECT_FALSE(enabled("mnuFileBdayOn"));
    EXPECT_FALSE(enabled("mnuFileBdayOff"));
    EXPECT_TRUE(platform.messages.isEmpty());
}

TEST_F(MainWindowFiles, StartUpSetsTheEntryAreaAndTheInstructions)
{
    ASSERT_TRUE(startUp());
    EXPECT_EQ(find<QLabel>("lblLMInstruct")->text(),
              u"Postwick prints mailing labels (use Avery 5160 or 8160 labels) and envelopes.\n"
              "Power tip: click 'Search Contacts' to print labels for a specific subset of your contacts.");
    EXPECT_TRUE(find<QRadioButton>("optPortrait")->isChecked());
    EXPECT_TRUE(find<QRadioButton>("optLMLeftjust")->isChecked());
    EXPECT_EQ(text("txtLMLeftPad"), u"2");
    EXPECT_EQ(text("txtLMToppad"), u"3");
    auto* envelopes = find<QComboBox>("cboLMEnvelope");
    ASSERT_EQ(envelopes->count(), 6);
    EXPECT_EQ(envelopes->itemText(0), u"#10 Standard Business envelope (4 1/8 in x 9 1/2 in)");
    EXPECT_EQ(envelopes->itemText(5), u"#A10 Lrg Greeting Card envelope (6 in x 9 1/2 in)");
    EXPECT_TRUE(envelopes->isHidden());
    EXPECT_TRUE(find<QWidget>("chkBold")->isHidden());
    EXPECT_TRUE(find<QWidget>("chkLargeFont")->isHidden());
    EXPECT_TRUE(find<QWidget>("cmdRetAddress")->isHidden());
    EXPECT_EQ(QApplication::focusWidget(), find<QWidget>("txtLMLine1"));
}

TEST_F(MainWindowFiles, RecordOnesReminderFlagSetsTheBirthdayItems)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    EXPECT_FALSE(enabled("mnuFileBdayOn"));
    EXPECT_TRUE(enabled("mnuFileBdayOff"));

    writeContacts("off.DAT", "0");
    platform.answerFileDialog(folder.file("off.DAT"));
    trigger("mnuFileOpen");
    EXPECT_TRUE(enabled("mnuFileBdayOn"));
    EXPECT_FALSE(enabled("mnuFileBdayOff"));
}

// While another program holds the file, a change waits in a window that names the wait; its
// Cancel gives the change up, says so, and the file stays open as it was.
TEST_F(MainWindowFiles, AChangeWaitingForAnotherProgramShowsTheWaitAndCancelLeavesTheFile)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    const QByteArray before = folder.read("PWK_Contacts.DAT");
    FileLock other;
    ASSERT_TRUE(other.open(ContactsFile::lockPathFor(folder.file("PWK_Contacts.DAT"))));
    ASSERT_TRUE(other.take(FileLock::Kind::Exclusive));
    platform.cancelProgressAt = 0;
    trigger("mnuFileBdayOff");
    ASSERT_EQ(platform.progressDialogs.size(), 1);
    EXPECT_TRUE(platform.progressDialogs[0].text.startsWith(u"Waiting for "));
    EXPECT_TRUE(platform.progressDialogs[0].text.endsWith(u" to finish with the contacts file..."));
    EXPECT_EQ(platform.progressDialogs[0].title, u"Contacts file in use");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_TRUE(platform.messages[0].text.startsWith(u"The file is in use by "));
    EXPECT_TRUE(platform.messages[0].text.endsWith(u".  Nothing was changed: try again once it has finished with the file."));
    EXPECT_EQ(folder.read("PWK_Contacts.DAT"), before);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->contactsFile().isOpen());
    EXPECT_TRUE(enabled("mnuFileBdayOff"));
}

TEST_F(MainWindowFiles, OpenMakesTheChosenFileCurrentWithItsTitle)
{
    ASSERT_TRUE(startUp());
    writeContacts("family.DAT", "1");
    platform.answerFileDialog(folder.file("family.DAT"));
    trigger("mnuFileOpen");
    ASSERT_EQ(platform.fileDialogs.size(), 1);
    EXPECT_EQ(platform.fileDialogs[0],
              (FileDialogRequest{"Open", folder.path(), "Data Files (*.DAT)|*.DAT"}));
    EXPECT_EQ(window->windowTitle(), u"Postwick  [family]");
    EXPECT_EQ(text("txtFileTitle"), u"family");
    EXPECT_EQ(text("txtFileNam"), folder.file("family.DAT"));
    EXPECT_EQ(window->contactsFile().read(1)->FirstName, u"Ann");

    writeContacts("family.dat", "1");
    platform.answerFileDialog(folder.file("family.dat"));
    trigger("mnuFileOpen");
    EXPECT_EQ(window->windowTitle(), u"Postwick  [family.dat]");
    EXPECT_EQ(text("txtFileTitle"), u"family.dat");
}

TEST_F(MainWindowFiles, ARestartReopensTheLastFileAndOpenRecentListsTheFilesUsed)
{
    ASSERT_TRUE(startUp());
    writeContacts("family.DAT", "1");
    writeContacts("club.DAT", "1");
    for (const char* name : {"club.DAT", "family.DAT"}) {
        platform.answerFileDialog(folder.file(name));
        trigger("mnuFileOpen");
    }
    trigger("mnuFileExit");

    ASSERT_TRUE(startUp());
    EXPECT_EQ(window->windowTitle(), u"Postwick  [family]");
    EXPECT_EQ(text("txtFileNam"), folder.file("family.DAT"));
    EXPECT_EQ(window->contactsFile().read(1)->FirstName, u"Ann");
    const auto recent = [this] {
        QStringList items;
        for (QAction* item : find<QMenu>("mnuFileRecent")->actions())
            items << item->text();
        return items;
    };
    EXPECT_EQ(recent(), (QStringList{u"&1 "_s + folder.file("family.DAT"), u"&2 "_s + folder.file("club.DAT"),
                                     u"&3 "_s + folder.file("PWK_Contacts.DAT")}));
    trigger("mnuFileRecent2");
    EXPECT_EQ(window->windowTitle(), u"Postwick  [club]");
    EXPECT_EQ(recent().first(), u"&1 "_s + folder.file("club.DAT"));

    // The last file gone: the default file opens, and one line says why.
    trigger("mnuFileExit");
    QFile::remove(folder.file("club.DAT"));
    platform.messages.clear();
    ASSERT_TRUE(startUp());
    EXPECT_EQ(window->windowTitle(), u"Postwick");
    EXPECT_EQ(text("txtFileNam"), folder.file("PWK_Contacts.DAT"));
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].text, folder.file("club.DAT")
                                             + u", the contacts file open when Postwick last "
                                               u"closed, is no longer there, so the default "
                                               u"contacts file was opened."_s);
}

TEST_F(MainWindowFiles, NewOnAnExistingFileOpensItUnchangedWithItsOwnReminders)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    writeContacts("club.DAT", "0");
    const QByteArray before = folder.read("club.DAT");
    platform.answerFileDialog(folder.file("club.DAT"));
    trigger("mnuFileNew");
    EXPECT_EQ(platform.fileDialogs[0].title, u"New");
    EXPECT_EQ(window->windowTitle(), u"Postwick  [club]");
    EXPECT_EQ(folder.read("club.DAT"), before);
    // Record 1 has them off: so do the menu and the contacts added next.
    EXPECT_TRUE(enabled("mnuFileBdayOn"));
    EXPECT_FALSE(enabled("mnuFileBdayOff"));
    EXPECT_FALSE(window->session().remindersOn());

    platform.answerFileDialog(folder.file("brand new.DAT"));
    trigger("mnuFileNew");
    EXPECT_TRUE(QFile::exists(folder.file("brand new.DAT")));
    EXPECT_EQ(window->windowTitle(), u"Postwick  [brand new]");
    EXPECT_TRUE(window->session().remindersOn());
}

TEST_F(MainWindowFiles, CancellingNewOrOpenKeepsTheCurrentFile)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    trigger("mnuFileNew");
    trigger("mnuFileOpen");
    EXPECT_EQ(platform.fileDialogs.size(), 2);
    EXPECT_EQ(window->windowTitle(), u"Postwick");
    EXPECT_EQ(text("txtFileTitle"), u"PWK_Contacts");
    EXPECT_TRUE(window->contactsFile().isOpen());
    EXPECT_EQ(window->contactsFile().read(1)->FirstName, u"Ann");
    EXPECT_TRUE(enabled("mnuFileBdayOff"));
}

TEST_F(MainWindowFiles, CloseLeavesNoFileOpenAndDisablesTheContactCommands)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    platform.answerFileDialog(folder.file("PWK_Contacts.DAT"));
    trigger("mnuFileOpen");
    trigger("mnuFileClose");
    EXPECT_FALSE(window->contactsFile().isOpen());
    EXPECT_EQ(window->windowTitle(), u"Postwick");
    EXPECT_EQ(text("txtFileNam"), u"");
    EXPECT_EQ(text("txtFileTitle"), u"");
    for (const char* name : {"cmdFindContact", "cmdAddContact", "mnuAdd", "mnuEdit", "mnuDelete", "mnuFind",
                             "mnuViewOne", "mnuViewAll", "mnuSrchContacts", "mnuFileBdayOn", "mnuFileBdayOff"})
        EXPECT_FALSE(enabled(name)) << name;
    for (const char* name : {"mnuFileNew", "mnuFileOpen", "mnuFileClose", "mnuFileExit", "cmdLMExit"})
        EXPECT_TRUE(enabled(name)) << name;
    EXPECT_TRUE(window->isVisible());
}

// A failed Open keeps the file that was working: a folder is refused, a failure offers Retry, which
// asks for a file again, and Cancel, which ends the command. Open never makes a file.
TEST_F(MainWindowFiles, AFailedOpenKeepsTheCurrentFileAndRetryAsksAgain)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.DAT"));
    platform.answerFileDialog(folder.file("folder.DAT"));
    trigger("mnuFileOpen");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0],
              (Message{folder.file("folder.DAT")
                           + u" is a folder, a device or a pipe, not a contacts file, so it was not opened."_s,
                       u"Not a contacts file"_s, MessageIcon::Warning}));

    platform.answerFileDialog(folder.file("PWK_Contacts"));
    platform.answerMessage(MessageResult::Retry);
    platform.answerFileDialog(folder.file("PWK_Contacts"));
    platform.answerMessage(MessageResult::Cancel);
    trigger("mnuFileOpen");
    ASSERT_EQ(platform.fileDialogs.size(), 3);
    ASSERT_EQ(platform.messages.size(), 3);
    EXPECT_EQ(platform.messages[1],
              (Message{"An error has occurred. Error number 2 -- No such file or directory.  Try again, or notify author.",
                       "Error", MessageIcon::None, MessageButtons::RetryCancel, false}));
    EXPECT_EQ(platform.messages[2], platform.messages[1]);
    EXPECT_FALSE(QFile::exists(folder.file("PWK_Contacts")));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(text("txtFileTitle"), u"PWK_Contacts");
    EXPECT_EQ(window->contactsFile().read(1)->FirstName, u"Ann");
    EXPECT_TRUE(enabled("cmdFindContact"));
}

// A default file that cannot be opened at all: a link that leads to itself.
TEST_F(MainWindowFiles, CancelAtAStartUpErrorEndsTheProgram)
{
    ASSERT_TRUE(QFile::link("PWK_Contacts.DAT", folder.file("PWK_Contacts.DAT")));
    platform.answerMessage(MessageResult::Cancel);
    EXPECT_FALSE(startUp());
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, u"Error");
    EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowFiles, RetryAtAStartUpErrorKeepsTheWindowUpWithNoFile)
{
    ASSERT_TRUE(QFile::link("PWK_Contacts.DAT", folder.file("PWK_Contacts.DAT")));
    platform.answerMessage(MessageResult::Retry);
    EXPECT_TRUE(startUp());
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->contactsFile().isOpen());
    EXPECT_EQ(text("txtFileNam"), u"");
    EXPECT_FALSE(enabled("mnuFileBdayOn"));
}

TEST_F(MainWindowFiles, TheUninstallDataFileIsHiddenOnlyWhileADialogMayListIt)
{
    folder.write("unins000.DAT", "uninstall");
    ASSERT_TRUE(startUp());
    EXPECT_TRUE(QFile::exists(folder.file("unins000.DAT")));
    bool hiddenDuringDialog = false;
    platform.answerFileDialog(folder.file("PWK_Contacts.DAT"), [&] {
        hiddenDuringDialog = !QFile::exists(folder.file("unins000.DAT")) && QFile::exists(folder.file("unins000.DAK"));
    });
    trigger("mnuFileOpen");
    EXPECT_TRUE(hiddenDuringDialog);
    EXPECT_TRUE(QFile::exists(folder.file("unins000.DAT")));
    EXPECT_FALSE(QFile::exists(folder.file("unins000.DAK")));

    // A .DAK left by an earlier run comes back at shut-down.
    QFile::rename(folder.file("unins000.DAT"), folder.file("unins000.DAK"));
    window->close();
    EXPECT_EQ(folder.read("unins000.DAT"), "uninstall");
}

TEST_F(MainWindowFiles, ExitStoresTheWindowGeometryInTwips)
{
    ASSERT_TRUE(startUp());
    window->move(100, 50);
    window->resize(1000, 700);
    trigger("mnuFileExit");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->contactsFile().isOpen());
    // The offscreen screen has 96 dots per inch, 15 twips a pixel, and a frame 2 pixels wide.
    ASSERT_EQ(window->logicalDpiX(), 96);
    ASSERT_EQ(window->frameGeometry(), QRect(100, 50, 1004, 704));
    EXPECT_EQ(platform.settings.value("Postwick/Settings/MainLeft"), u"1500");
    EXPECT_EQ(platform.settings.value("Postwick/Settings/MainTop"), u"750");
    EXPECT_EQ(platform.settings.value("Postwick/Settings/MainWidth"), u"15060");
    EXPECT_EQ(platform.settings.value("Postwick/Settings/MainHeight"), u"10560");
    EXPECT_EQ(windowSettings(), 4);
}

TEST_F(MainWindowFiles, ExitWhileMinimizedStoresNoGeometry)
{
    ASSERT_TRUE(startUp());
    window->showMinimized();
    find<QPushButton>("cmdLMExit")->click();
    EXPECT_EQ(windowSettings(), 0);
}

TEST_F(MainWindowFiles, EditMenuWorksOnTheFocusedBoxAndTheClipboard)
{
    ASSERT_TRUE(startUp());
    auto* line1 = find<QLineEdit>("txtLMLine1");
    auto* line2 = find<QLineEdit>("txtLMLine2");
    auto* edit = find<QMenu>("mnuLMEdit");
    line1->setText("Jane Doe");
    line1->setFocus();
    line1->deselect();
    emit edit->aboutToShow();
    EXPECT_FALSE(enabled("mnuLMEditCut"));
    EXPECT_FALSE(enabled("mnuLMEditCopy"));
    EXPECT_TRUE(enabled("mnuLMEditPaste"));

    line1->setSelection(0, 4);
    emit edit->aboutToShow();
    EXPECT_TRUE(enabled("mnuLMEditCopy"));
    trigger("mnuLMEditCut");
    EXPECT_EQ(platform.clipboardText(), u"Jane");
    EXPECT_EQ(line1->text(), u" Doe");

    line2->setFocus();
    trigger("mnuLMEditPaste");
    EXPECT_EQ(line2->text(), u"Jane");
    line2->selectAll();
    trigger("mnuLMEditCopy");
    EXPECT_EQ(platform.clipboardText(), u"Jane");
    EXPECT_EQ(line2->text(), u"Jane");
}

TEST_F(MainWindowFiles, ASecondaryWindowHidesTheMainWindowUntilItCloses)
{
    ASSERT_TRUE(startUp());
    auto* secondary = new QWidget;
    window->showSecondary(secondary);
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(secondary->isVisible());
    secondary->close();
    deleteClosedWindows();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->focusWidget(), find<QWidget>("txtLMLine1"));
}

TEST_F(MainWindowFiles, TheMainWindowComesBackWhereItStoodAllOfItOnScreen)
{
    ASSERT_TRUE(startUp());
    const QRect screen = window->screen()->availableGeometry();
    const auto openAndClose = [this](const char* command, const char* windowName, const char* close) {
        ASSERT_TRUE(openWith(command, windowName));
        click(close);
        deleteClosedWindows();
        ASSERT_TRUE(window->isVisible());
    };

    // A window that stood on screen comes back at its place and size, whichever window was in front.
    const QSize size = window->size();
    window->setGeometry(QRect(QPoint(2, 30), size));
    const QRect stood = window->frameGeometry();
    openAndClose("mnuViewAll", "frmViewAll", "cmdViewAllClose");
    EXPECT_EQ(window->frameGeometry(), stood);
    openAndClose("mnuAdd", "frmNewContact", "cmdCancel");
    EXPECT_EQ(window->frameGeometry(), stood);

    // One that hung over the bottom-left corner comes back wholly on the screen, at its size.
    window->setGeometry(QRect(QPoint(-100, screen.bottom() - 100), size));
    openAndClose("mnuViewAll", "frmViewAll", "cmdViewAllClose");
    EXPECT_TRUE(screen.contains(window->frameGeometry()));
    EXPECT_EQ(window->frameGeometry().bottomLeft(), screen.bottomLeft());
    EXPECT_EQ(window->size(), size);

    // One larger than the screen is cut to it.
    window->setGeometry(0, 0, screen.width() + 300, screen.height() + 300);
    openAndClose("mnuAdd", "frmNewContact", "cmdCancel");
    EXPECT_EQ(window->frameGeometry(), screen);
}

}  // namespace
}  // namespace pw::test

namespace pw::test {
namespace {

TEST_F(MainWindowFiles, AFileThatIsNotAContactsFileIsRefusedAndTheCurrentFileStays)
{
    writeContacts("PWK_Contacts.DAT", "1");
    ASSERT_TRUE(startUp());
    const QByteArray notes("Shopping list: milk, eggs, bread, and some apples.\r\n");
    folder.write(QStringLiteral("notes.DAT"), notes);
    platform.answerFileDialog(folder.file(QStringLiteral("notes.DAT")));
    trigger("mnuFileOpen");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages[0].title, u"Not a contacts file");
    EXPECT_TRUE(platform.messages[0].text.contains(folder.file(QStringLiteral("notes.DAT"))));
    EXPECT_EQ(text("txtFileTitle"), u"PWK_Contacts");
    ASSERT_TRUE(window->contactsFile().append(ContactRecord{}));
    EXPECT_EQ(folder.read(QStringLiteral("notes.DAT")), notes);
    EXPECT_EQ(folder.read(QStringLiteral("PWK_Contacts.DAT")).size(), 2 * 518);
}

}  // namespace
}  // namespace pw::test
