#include "data/contact_record.h"
#include "support/main_window_fixture.h"
#include "support/qt_printers.h"

#include <QAction>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
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
    QMainWindow* import = openWith("mnuImport", "frmLMImport");
    ASSERT_NE(import, nullptr);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(import->windowTitle(), u"Import Contacts  [PWK_Contacts]");
    EXPECT_FALSE(find<QPushButton>("cmdStartImport")->isEnabled());
    EXPECT_TRUE(find<QLineEdit>("txtImpFilename")->isHidden());

    platform.answerFileDialog(csvOf(2));
    EXPECT_EQ(find<QPushButton>("cmdCsvOpen")->text(), u"&Open file...");
    click("cmdCsvOpen");
    // Every kind of file the import reads shows at first, whatever the letter case of its name.
    EXPECT_EQ(platform.fileDialogs.back(),
              (FileDialogRequest{u"Open"_s, folder.path(),
                                 u"Address books (*.csv *.vcf *.ldif *.txt)|*.csv;*.vcf;*.ldif;*.txt|"
                                 "All Files (*.*)|*.*"_s}));
    EXPECT_EQ(find<QLineEdit>("txtImpFilename")->text(), u"people.csv");
    EXPECT_FALSE(find<QLineEdit>("txtImpFilename")->isHidden());
    ASSERT_TRUE(find<QPushButton>("cmdStartImport")->isEnabled());

    click("cmdStartImport");
    EXPECT_TRUE(platform.messages.isEmpty());
    ASSERT_NE(find<QDialog>("frmImpSummary"), nullptr);
    EXPECT_EQ(find<QLabel>("lblSumHeading")->text(), u"D O N E !  2 contacts successfully imported.");
    find<QPushButton>("cmdSumClose")->click();
    settle();
    EXPECT_EQ(find<QDialog>("frmImpSummary"), nullptr);
    EXPECT_EQ(records(), 2);
    EXPECT_EQ(platform.progressDialogs.size(), 1);
    EXPECT_EQ(platform.progressDialogs.back().title, u"Import Contacts");
    EXPECT_FALSE(find<QPushButton>("cmdStartImport")->isEnabled());
    // The window's focus, which it takes back as the summary closes.
    EXPECT_EQ(import->focusWidget()->objectName(), u"cmdImpCancel");

    click("cmdImpCancel");
    expectMainWindowBack("frmLMImport");
}

TEST_F(TransferWindowsTest, UndoImportTakesTheImportOutUntilTheFileChangesAgain)
{
    ContactRecord ann;
    ann.FirstName = u"Ann"_s;
    ann.LastName = u"Lee"_s;
    ASSERT_TRUE(window->contactsFile().append(ann));
    const QByteArray before = folder.read(u"PWK_Contacts.DAT"_s);
    const auto importCsv = [this](int count) {
        openWith("mnuImport", "frmLMImport");
        platform.answerFileDialog(csvOf(count));
        click("cmdCsvOpen");
        click("cmdStartImport");
        find<QPushButton>("cmdSumClose")->click();
        click("cmdImpCancel");
        settle();
    };
    const auto undoItem = [this] {
        emit find<QMenu>("mnuLMEdit")->aboutToShow();
        QAction* item = find<QAction>("mnuLMEditUndoImport");
        return item->isVisible() ? item->text() : QString();
    };

    importCsv(3);
    ASSERT_EQ(records(), 4);
    EXPECT_EQ(undoItem(), u"Undo Import of people.csv (3 contacts)");
    find<QAction>("mnuLMEditUndoImport")->trigger();
    EXPECT_EQ(folder.read(u"PWK_Contacts.DAT"_s), before);
    EXPECT_EQ(platform.messages.back(), (Message{u"The 3 contacts imported from people.csv were taken out of the file "
                                                 "again."_s,
                                                 u"Import undone"_s, MessageIcon::Information}));
    EXPECT_EQ(undoItem(), u"");

    // Any change since, here or by another program, withdraws it.
    importCsv(2);
    EXPECT_EQ(undoItem(), u"Undo Import of people.csv (2 contacts)");
    ASSERT_TRUE(window->contactsFile().append(ann));
    EXPECT_EQ(undoItem(), u"");
}

TEST_F(TransferWindowsTest, CancelInTheProgressDialogLeavesTheContactsFileAsItWas)
{
    openWith("mnuImport", "frmLMImport");
    platform.answerFileDialog(csvOf(3000));
    click("cmdCsvOpen");
    platform.cancelProgressAt = 1024;
    click("cmdStartImport");
    EXPECT_EQ(platform.progressDialogs.back().total, 3000);
    EXPECT_EQ(find<QLabel>("lblSumHeading")->text(),
              u"Import stopped.  No contacts were imported; the contacts file is as it was.");
    EXPECT_EQ(records(), 0);
}

TEST_F(TransferWindowsTest, TheSummaryCountsEveryRowAndLetsTheSkippedOnesBeCopied)
{
    openWith("mnuImport", "frmLMImport");
    folder.write(u"phone.vcf"_s, "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEMAIL:ann@mail.com\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nVERSION:3.0\r\nEMAIL:acme@mail.com\r\nEND:VCARD\r\n"
                                 "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Sutherland-Montgomery;Bartholomew;;;\r\n"
                                 "END:VCARD\r\n");
    ContactRecord stored;
    stored.FirstName = u"Ann"_s;
    stored.LastName = u"Lee"_s;
    stored.Email = u"ann@mail.com"_s;
    ASSERT_TRUE(window->contactsFile().append(stored));
    platform.answerFileDialog(folder.file(u"phone.vcf"_s));
    click("cmdCsvOpen");
    click("cmdStartImport");

    EXPECT_EQ(find<QLabel>("lblSumCounts")->text(),
              u"4 cards read\n2 contacts imported\n1 skipped as a duplicate\n"
              "1 skipped for having no name\n1 field cut to fit"_s);
    EXPECT_EQ(find<QLabel>("lblSumSkipped")->text(), u"&Skipped rows and values changed:");
    QListWidget* list = find<QListWidget>("lstSumSkipped");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->item(1)->text(), u"Line 10 (no name): acme@mail.com");

    click("cmdSumCopy");
    EXPECT_EQ(platform.clipboardText(), u"Line 1 (duplicate): Ann Lee, ann@mail.com\nLine 10 (no name): acme@mail.com\n"
                                        u"Line 14: \"Sutherland-Montgomery\" cut to \"Sutherland-Montgom\"\n"_s);
    list->item(1)->setSelected(true);
    activate(find<QDialog>("frmImpSummary"));
    list->setFocus();
    QTest::keySequence(list, QKeySequence::Copy);
    EXPECT_EQ(platform.clipboardText(), u"Line 10 (no name): acme@mail.com\n");
    click("cmdSumClose");
    settle();
    EXPECT_EQ(find<QDialog>("frmImpSummary"), nullptr);
}

TEST_F(TransferWindowsTest, AnImportFileThatCannotBeReadGoesToTheErrorPromptWhoseCancelClosesTheWindow)
{
    openWith("mnuImport", "frmLMImport");
    platform.answerFileDialog(folder.file(u"gone.csv"_s));
    platform.answerMessage(MessageResult::Cancel);
    click("cmdCsvOpen");
    EXPECT_EQ(platform.messages.back(),
              (Message{u"An error has occurred. Error number 2 -- No such file or directory.  Try again, or notify "
                       "Postwick."_s,
                       u"Error"_s, MessageIcon::None, MessageButtons::RetryCancel}));
    expectMainWindowBack("frmLMImport");
}

TEST_F(TransferWindowsTest, ExportSavesWhereChosenAsksBeforeReplacingAndNamesThePath)
{
    QMainWindow* exportWindow = openWith("mnuExport", "frmLMExport");
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
    TestFolder elsewhere;
    const QString chosen = elsewhere.file(u"people.csv"_s);
    platform.answerFileDialog(chosen);
    click("cmdExpCreate");
    EXPECT_EQ(platform.saveDialogs.back(), (FileDialogRequest{u"Save As"_s, folder.path(), u"CSV Files (*.csv)|*.csv"_s,
                                                              false, u"PWKC_PWK_Contacts.csv"_s}));
    EXPECT_EQ(platform.messages.back(),
              (Message{u"D O N E !  A csv file of contacts has been created and stored as "_s + chosen,
                       u"Export file created"_s}));
    EXPECT_EQ(platform.busyPointer, QList<bool>({true, false}));
    EXPECT_EQ(elsewhere.read(u"people.csv"_s).count("\r\n"), 2);
    EXPECT_EQ(focusName(), u"cmdExpCancel");

    // An existing file: No asks for another name, starting from the one refused, and keeps the file;
    // Yes replaces it.
    elsewhere.write(u"people.csv"_s, "mine\r\n");
    platform.answerFileDialog(chosen);
    platform.answerMessage(MessageResult::No);
    click("cmdExpCreate");
    EXPECT_EQ(platform.messages.back(),
              (Message{u"people.csv already exists.  Do you want to replace it?"_s, u"Replace export file"_s,
                       MessageIcon::Question, MessageButtons::YesNo, false, MessageResult::No}));
    ASSERT_EQ(platform.saveDialogs.size(), 3);
    EXPECT_EQ(platform.saveDialogs.back().folder, elsewhere.path());
    EXPECT_EQ(platform.saveDialogs.back().fileName, u"people.csv");
    EXPECT_EQ(elsewhere.read(u"people.csv"_s), "mine\r\n");
    platform.answerFileDialog(chosen);
    platform.answerMessage(MessageResult::Yes);
    click("cmdExpCreate");
    EXPECT_EQ(elsewhere.read(u"people.csv"_s).count("\r\n"), 2);
    click("cmdExpCancel");
    expectMainWindowBack("frmLMExport");
}

TEST_F(TransferWindowsTest, TheVCardOptionWritesAVcfFile)
{
    openWith("mnuExport", "frmLMExport");
    ContactRecord r;
    r.FirstName = u"Ann"_s;
    r.LastName = u"Lee"_s;
    ASSERT_TRUE(window->contactsFile().append(r));
    find<QRadioButton>("optExpCGVCF")->click();
    platform.answerFileDialog(folder.file(u"PWKV_PWK_Contacts.vcf"_s));
    click("cmdExpCreate");
    EXPECT_EQ(platform.saveDialogs.back().filter, u"vCard Files (*.vcf)|*.vcf");
    EXPECT_EQ(platform.messages.back().text, u"D O N E !  A vCard file of contacts has been created and stored as "_s
                                                 + folder.file(u"PWKV_PWK_Contacts.vcf"_s));
    EXPECT_TRUE(folder.read(u"PWKV_PWK_Contacts.vcf"_s).startsWith("BEGIN:VCARD\r\nVERSION:3.0\r\nN:Lee;Ann;;;\r\n"));
}

TEST_F(TransferWindowsTest, AContactsFileElsewhereIsOfferedItsOwnNameInTheApplicationFolder)
{
    TestFolder elsewhere;
    platform.answerFileDialog(elsewhere.file(u"family.DAT"_s));
    find<QAction>("mnuFileNew")->trigger();
    openWith("mnuExport", "frmLMExport");
    find<QRadioButton>("optExpCGTXT")->click();
    // A cancelled save dialog writes nothing.
    const qsizetype shown = platform.messages.size();
    click("cmdExpCreate");
    EXPECT_EQ(platform.messages.size(), shown);
    EXPECT_FALSE(QFile::exists(folder.file(u"PWKT_family.txt"_s)));
    ASSERT_EQ(platform.saveDialogs.size(), 1);
    EXPECT_EQ(platform.saveDialogs[0].folder, folder.path());
    EXPECT_EQ(platform.saveDialogs[0].fileName, u"PWKT_family.txt");
    platform.answerFileDialog(folder.file(u"PWKT_family.txt"_s));
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
    openWith("mnuExport", "frmLMExport");
    find<QRadioButton>("optExpCGCSV")->click();
    platform.answerFileDialog(folder.file(u"PWKC_.csv"_s));
    platform.answerMessage(MessageResult::Cancel);
    click("cmdExpCreate");
    EXPECT_EQ(platform.messages.back().text,
              u"An error has occurred. Error number 52 -- Bad file name or number.  Try again, or notify author.");
    EXPECT_EQ(platform.busyPointer, QList<bool>({true, false}));
    expectMainWindowBack("frmLMExport");
}

}  // namespace
}  // namespace pw::test
