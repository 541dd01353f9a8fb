#include "data/contact_record.h"
#include "support/main_window_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

const QByteArray kOwnHeading =
    "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include Company in Address,"
    "Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes\r\n";

class TransferWindowsTest : public MainWindowTest {
protected:
    void SetUp() override { ASSERT_TRUE(startUp()); }

    static void settle()
    {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    static QString focusName()
    {
        QWidget* w = QApplication::focusWidget();
        return w ? w->objectName() : QString();
    }

    QMainWindow* open(const char* command, const char* windowName)
    {
        find<QAction>(command)->trigger();
        settle();
        QMainWindow* w = find<QMainWindow>(windowName);
        if (w)
            activate(w);
        return w;
    }

    void click(const char* name) { find<QPushButton>(name)->click(); }

    // A file of `count` contacts in the program's own export layout.
    QString csvOf(int count, const QString& name = u"people.csv"_s)
    {
        QByteArray csv = kOwnHeading;
        for (int i = 0; i < count; ++i)
            csv += QStringLiteral("P%1,,Q%1,,,,,,,,1,,,,p%1@mail.com,4-5-1980,,\r\n").arg(i).toLatin1();
        folder.write(name, csv);
        return folder.file(name);
    }

    int records() const { return int(folder.read(u"PWK_Contacts.DAT"_s).size() / ContactRecord::kSize); }

    void expectMainWindowBack(const char* windowName)
    {
        settle();
        EXPECT_EQ(find<QMainWindow>(windowName), nullptr);
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(focusName(), u"txtLMLine1");
    }
};

TEST_F(TransferWindowsTest, ImportChoosesAFileImportsItOnceAndSaysHowManyContactsCameIn)
{
    QMainWindow* import = open("mnuImport", "frmLMImport");
    ASSERT_NE(import, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(import->windowTitle(), u"Import Contacts  [PWK_Contacts]");
    EXPECT_FALSE(find<QPushButton>("cmdStartImport")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("txtImpFilename")->isHidden());

    platform.answerFileDialog(csvOf(2));
    click("cmdCsvOpen");
    EXPECT_EQ(platform.fileDialogs.back(),
              (FileDialogRequest{u"Open"_s, folder.path(),
                                 u"CSV Files (*.CSV)|*.CSV|Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*"_s}));
    EXPECT_EQ(find<QLineEdit>("txtImpFilename")->text(), u"people.csv");
    EXPECT_FALSE(find<QLineEdit>("txtImpFilename")->isHidden());
    ASSERT_TRUE(find<QPushButton>("cmdStartImport")->isEnabled());

    click("cmdStartImport");
    ASSERT_EQ(platform.messages.size(), 1);
    EXPECT_EQ(platform.messages.back(),
              (Message{u"D O N E !  2 contacts successfully imported."_s, u"Import completed"_s}));
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(platform.progressDialogs.size(), 1);
    EXPECT_EQ(platform.progressDialogs.back().title, u"Import Contacts");
    EXPECT_FALSE(find<QPushButton>("cmdStartImport")->isEnabled());
    EXPECT_EQ(focusName(), u"cmdImpCancel");

    click("cmdImpCancel");
    expectMainWindowBack("frmLMImport");
}

TEST_F(TransferWindowsTest, CancelInTheProgressDialogKeepsTheContactsStoredSoFarAndSaysHowMany)
{
    open("mnuImport", "frmLMImport");
    platform.answerFileDialog(csvOf(3000));
    click("cmdCsvOpen");
    platform.cancelProgressAt = 1024;
    click("cmdStartImport");
    EXPECT_EQ(platform.progressDialogs.back().total, 3000);
    EXPECT_EQ(platform.messages.back().text,
              u"Import stopped.  1024 contacts were imported before it stopped; they are in the contacts file.");
    EXPECT_EQ(records(), 1024);
}

TEST_F(TransferWindowsTest, AnImportFileThatCannotBeReadGoesToTheErrorPromptWhoseCancelClosesTheWindow)
{
    open("mnuImport", "frmLMImport");
    platform.answerFileDialog(folder.file(u"gone.csv"_s));
    platform.answerMessage(MessageResult::Cancel);
    click("cmdCsvOpen");
    EXPECT_EQ(platform.messages.back(),
              (Message{u"An error has occurred. Error number 2 -- No such file or directory.  Try again, or notify "
                       "Postwick."_s,
                       u"Error"_s, MessageIcon::None, MessageButtons::RetryCancel}));
    expectMainWindowBack("frmLMImport");
}

TEST_F(TransferWindowsTest, ExportWritesTheChosenFormatUnderTheBusyPointerAndNamesTheFile)
{
    QMainWindow* exportWindow = open("mnuExport", "frmLMExport");
    ASSERT_NE(exportWindow, nullptr);
    EXPECT_EQ(exportWindow->windowTitle(), u"Export Contacts  [PWK_Contacts]");
    EXPECT_FALSE(find<QRadioButton>("optExpCGCSV")->isChecked());
    EXPECT_FALSE(find<QRadioButton>("optExpCGTXT")->isChecked());
    EXPECT_FALSE(find<QPushButton>("cmdExpCreate")->isEnabled());

    ContactRecord r;
    r.FirstName = u"Ann"_s;
    r.LastName = u"Lee"_s;
    ASSERT_TRUE(window->contactsFile().append(r));
    find<QRadioButton>("optExpCGCSV")->click();
    ASSERT_TRUE(find<QPushButton>("cmdExpCreate")->isEnabled());
    click("cmdExpCreate");
    EXPECT_EQ(platform.messages.back(),
              (Message{u"D O N E !  A csv file of contacts has been created and stored in your Postwick folder.  "
                       "This file is named PWKC_PWK_Contacts.csv"_s,
                       u"Export file created"_s}));
    EXPECT_EQ(platform.busyPointer, QList<bool>({true, false}));
    EXPECT_EQ(folder.read(u"PWKC_PWK_Contacts.csv"_s).count("\r\n"), 2);
    EXPECT_EQ(focusName(), u"cmdExpCancel");
    click("cmdExpCancel");
    expectMainWindowBack("frmLMExport");
}

TEST_F(TransferWindowsTest, AContactsFileElsewhereExportsIntoTheApplicationFolderUnderItsOwnName)
{
    TestFolder elsewhere;
    platform.answerFileDialog(elsewhere.file(u"family.DAT"_s));
    find<QAction>("mnuFileNew")->trigger();
    open("mnuExport", "frmLMExport");
    find<QRadioButton>("optExpCGTXT")->click();
    click("cmdExpCreate");
    EXPECT_EQ(platform.messages.back(),
              (Message{u"Export file could not be created.  There were no contacts on file."_s,
                       u"Export file not created"_s, MessageIcon::Information}));
    EXPECT_EQ(folder.read(u"PWKT_family.txt"_s),
              "First Name|MI|Last Name|Street1|Street2|City|State|Zip|Country|Company|Include Company in Address|"
              "Home Phone|Cell Phone|Work Phone|Email|Birthdate|Category|Notes\r\n");
}

TEST_F(TransferWindowsTest, ExportWithNoFileOpenGoesToTheErrorPrompt)
{
    find<QAction>("mnuFileClose")->trigger();
    open("mnuExport", "frmLMExport");
    find<QRadioButton>("optExpCGCSV")->click();
    platform.answerMessage(MessageResult::Cancel);
    click("cmdExpCreate");
    EXPECT_EQ(platform.messages.back().text,
              u"An error has occurred. Error number 52 -- Bad file name or number.  Try again, or notify author.");
    EXPECT_EQ(platform.busyPointer, QList<bool>({true, false}));
    expectMainWindowBack("frmLMExport");
}

}  // namespace
}  // namespace pw::test
