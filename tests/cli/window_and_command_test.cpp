#include "cli/run_postwick.h"
#include "contacts_ui/contact_editor_window.h"
#include "data/contacts_file.h"
#include "data/contacts_session.h"
#include "desktop/painter_surface.h"
#include "list/contact_list_window.h"
#include "list/list_contacts.h"
#include "platform/quiet_platform.h"
#include "program/app_files.h"
#include "shell/label_entry.h"
#include "support/pdf_words.h"
#include "support/scripted_platform.h"
#include "support/stored_contacts.h"
#include "support/test_folder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QLineEdit>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

#include <gtest/gtest.h>
#include <memory>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

// A person at a window who prints to a PDF file, accepts the print dialog as it comes and answers
// the label position prompt with `positions`.
class PdfPrintingPlatform final : public QuietPlatform {
public:
    using QuietPlatform::QuietPlatform;
    std::optional<PrintChoice> printDialog(const PrintDialogRequest&) override { return PrintChoice{}; }
    QString inputBox(const QString&, const QString&, const QString&) override { return positions; }
    QString positions;
};

// Every word of the command's PDF is the window's, on the same page at the same place.
void expectTheSameWordsAtTheSamePlaces(const QString& windowPdf, const QString& commandPdf, int pages, int leastWords)
{
    const PdfWords fromWindow = pdfWords(windowPdf);
    const PdfWords fromCommand = pdfWords(commandPdf);
    EXPECT_EQ(fromWindow.pages, pages);
    EXPECT_EQ(fromCommand.pages, fromWindow.pages);
    ASSERT_EQ(fromCommand.words.size(), fromWindow.words.size());
    ASSERT_GE(fromWindow.words.size(), leastWords);
    for (qsizetype i = 0; i < fromWindow.words.size(); ++i) {
        const PdfWord& w = fromWindow.words[i];
        const PdfWord& c = fromCommand.words[i];
        EXPECT_EQ(c.text, w.text);
        EXPECT_EQ(c.page, w.page);
        EXPECT_NEAR(c.box.left(), w.box.left(), 0.01) << w.text.toStdString();
        EXPECT_NEAR(c.box.top(), w.box.top(), 0.01) << w.text.toStdString();
    }
}

TEST(WindowAndCommandLine, PrintTheSameListLabelsAtTheSamePlaces)
{
    TestFolder folder;
    std::vector<ContactRecord> people;
    for (int i = 1; i <= 35; ++i) {
        ContactRecord r = person(u"Alexandra%1"_s.arg(i), u"Montgomery"_s, i % 2 ? u"Reno"_s : u"Springfield"_s);
        people.push_back(i % 3 ? r : withCompany(r, u"Evergreen Supply %1"_s.arg(i)));
    }
    writeContacts(folder.file(u"c.DAT"_s), people);
    // Both print with the corrections delivered to the application folder.
    const QString applicationFolder = applicationFolderIn(folder.path());
    ASSERT_TRUE(prepareApplicationFolder(applicationFolder));

    QPrinter printer(QPrinter::HighResolution);
    setUpPdfOutput(printer, folder.file(u"window.pdf"_s));
    PainterSurface surface(printer);
    PdfPrintingPlatform platform(surface, applicationFolder);
    ContactsFile contacts;
    ASSERT_TRUE(contacts.open(folder.file(u"c.DAT"_s)));
    ContactListWindow window(platform, contacts, u"c"_s, {});
    window.startSearch();
    window.findChild<QPushButton*>(u"cmdACGetReport"_s)->click();
    window.findChild<QPushButton*>(u"cmdPrintLabels"_s)->click();

    const ProgramRun command = runPostwick(folder.path(), {u"labels"_s, u"c.DAT"_s, u"-o"_s, u"command.pdf"_s});
    ASSERT_EQ(command.status, 0) << command.err.toStdString();

    expectTheSameWordsAtTheSamePlaces(folder.file(u"window.pdf"_s), folder.file(u"command.pdf"_s), 2, 35 * 6 + 1);
}

// Whether the process holds `path` open: a command waiting for the lock holds the lock file.
bool holdsOpen(qint64 pid, const QString& path)
{
    const QDir descriptors(u"/proc/%1/fd"_s.arg(pid));
    for (const QFileInfo& descriptor : descriptors.entryInfoList(QDir::Files | QDir::System)) {
        if (descriptor.symLinkTarget() == path)
            return true;
    }
    return false;
}

// A window deletes a contact while a command imports into the same file: the command waits for the
// delete, then adds its contacts to the file the delete left; each says only what it did.
TEST(WindowAndCommandLine, ADeleteInAWindowAndAnImportAtOnceKeepEveryContactOnce)
{
    TestFolder folder;
    const QString path = folder.file(u"c.DAT"_s);
    writeContacts(path, {person(u"Ann"_s, u"Lee"_s), person(u"Bob"_s, u"Ray"_s), person(u"Cy"_s, u"Fox"_s)});
    folder.write(u"new.csv"_s, "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include "
                               "Company in Address,Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes\r\n"
                               "Dee,,Park,,,Reno,,,,,0,,,,,,,\r\nEve,,Moss,,,Reno,,,,,0,,,,,,,\r\n");
    ScriptedPlatform platform(folder.path());
    ContactsSession session;
    ASSERT_TRUE(session.open(path, u"c"_s));
    ContactEditorWindow editor(platform, session);
    editor.show();
    ASSERT_TRUE(editor.open());
    editor.showPicked(2);

    // Bob is marked and the delete holds the lock when the command starts; it goes on once the
    // command is seen waiting.
    std::unique_ptr<QProcess> command;
    session.file().setRemovalProbe([&](ContactsFile::RemovalStep step) {
        if (step == ContactsFile::RemovalStep::Marked) {
            command.reset(startPostwick(folder.path(), {u"import"_s, u"c.DAT"_s, u"new.csv"_s}));
            const QString lock = QFileInfo(ContactsFile::lockPathFor(path)).canonicalFilePath();
            QDeadlineTimer deadline(60000);
            while (!holdsOpen(command->processId(), lock) && !deadline.hasExpired())
                QThread::msleep(10);
            EXPECT_TRUE(holdsOpen(command->processId(), lock));
        }
        return true;
    });
    platform.answerMessage(MessageResult::Yes);
    editor.findChild<QPushButton*>(u"cmdDelete"_s)->click();
    ASSERT_TRUE(command);
    ASSERT_TRUE(command->waitForFinished(120000));

    EXPECT_EQ(command->exitCode(), 0) << command->readAllStandardError().toStdString();
    EXPECT_TRUE(command->readAllStandardOutput().contains("\n2 contacts imported\n"));
    ASSERT_EQ(platform.messages.size(), 2);
    EXPECT_EQ(platform.messages[1].text, u"Contact deleted!");
    ContactsFile stored;
    ASSERT_TRUE(stored.open(path, AccessMode::Read));
    QStringList names;
    for (const ContactRecord& r : storedRecords(stored))
        names << r.FirstName;
    EXPECT_EQ(names, (QStringList{u"Ann"_s, u"Cy"_s, u"Dee"_s, u"Eve"_s}));
}

// The main window's entry area printing to window.pdf, and the command that prints the same.
class EntryAreaAndCommand : public ::testing::Test {
protected:
    TestFolder folder;
    QPrinter printer{QPrinter::HighResolution};
    PainterSurface surface{printer};
    PdfPrintingPlatform platform{surface, applicationFolderIn(folder.path())};
    QWidget window;
    LabelEntry* entry = nullptr;
    const QStringList typed{u"Ann Example"_s, u"12 Long Road"_s, u"Springfield IL 62701"_s};

    void SetUp() override
    {
        // Both print with the corrections delivered to the application folder.
        ASSERT_TRUE(prepareApplicationFolder(platform.applicationFolder()));
        setUpPdfOutput(printer, folder.file(u"window.pdf"_s));
        entry = new LabelEntry(platform, &window);
        entry->commandPanel()->setParent(&window);
        entry->reset();
        static const char* const lines[3] = {"txtLMLine1", "txtLMLine2", "txtLMline3"};
        for (int i = 0; i < 3; ++i)
            control<QLineEdit>(lines[i])->setText(typed[i]);
    }

    template <typename T>
    T* control(const char* name) const
    {
        return window.findChild<T*>(QString::fromLatin1(name));
    }

    // Runs the command with the typed lines and compares its PDF with the window's.
    void expectTheCommandToMatch(const QStringList& command, int leastWords)
    {
        const QStringList arguments = command + QStringList{u"--lines"_s} + typed;
        const ProgramRun run = runPostwick(folder.path(), arguments + QStringList{u"-o"_s, u"command.pdf"_s});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        expectTheSameWordsAtTheSamePlaces(folder.file(u"window.pdf"_s), folder.file(u"command.pdf"_s), 1, leastWords);
    }
};

TEST_F(EntryAreaAndCommand, PrintTheSameTypedLabelsAtTheSamePlaces)
{
    platform.positions = u"4-9"_s;
    control<QRadioButton>("optLMLabel")->click();
    control<QRadioButton>("optLMCenter")->click();
    control<QCheckBox>("chkLblBold")->click();
    control<QCheckBox>("chkLblItalic")->click();
    control<QPushButton>("cmdLMStart")->click();
    expectTheCommandToMatch({u"sheet"_s, u"--positions"_s, u"4-9"_s, u"--bold"_s, u"--italic"_s, u"--center"_s}, 6 * 8);
}

TEST_F(EntryAreaAndCommand, PrintTheSameEnvelopeAtTheSamePlaces)
{
    control<QRadioButton>("optLMEnvelope")->click();
    auto* sizes = control<QComboBox>("cboLMEnvelope");
    sizes->setCurrentIndex(3);  // #A7, as a person picks it
    emit sizes->activated(3);
    control<QCheckBox>("chkLargeFont")->click();
    control<QRadioButton>("optLMCenter")->click();
    control<QPushButton>("cmdLMStart")->click();
    expectTheCommandToMatch({u"envelope"_s, u"--size"_s, u"4"_s, u"--large"_s, u"--center"_s}, 8);
}

TEST_F(EntryAreaAndCommand, PrintTheSameReturnAddressSheetAtTheSamePlaces)
{
    control<QCheckBox>("chkLblItalic")->click();
    control<QRadioButton>("optLMCenter")->click();
    entry->printReturnAddresses();
    expectTheCommandToMatch({u"return-labels"_s, u"--italic"_s, u"--center"_s}, 80 * 8);
}

}  // namespace
}  // namespace pw::test
