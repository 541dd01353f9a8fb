#include "cli/run_postwick.h"
#include "data/contacts_file.h"
#include "desktop/painter_surface.h"
#include "list/contact_list_window.h"
#include "list/list_contacts.h"
#include "platform/quiet_platform.h"
#include "program/app_files.h"
#include "support/pdf_words.h"
#include "support/test_folder.h"

#include <QPrinter>
#include <QPushButton>

#include <gtest/gtest.h>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

// A person at the list window who prints to a PDF file and accepts the print dialog as it comes.
class PdfPrintingPlatform final : public QuietPlatform {
public:
    using QuietPlatform::QuietPlatform;
    std::optional<PrintChoice> printDialog(const PrintDialogRequest&) override { return PrintChoice{}; }
};

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

    const PdfWords fromWindow = pdfWords(folder.file(u"window.pdf"_s));
    const PdfWords fromCommand = pdfWords(folder.file(u"command.pdf"_s));
    EXPECT_EQ(fromWindow.pages, 2);
    EXPECT_EQ(fromCommand.pages, fromWindow.pages);
    ASSERT_EQ(fromCommand.words.size(), fromWindow.words.size());
    ASSERT_GT(fromWindow.words.size(), 35 * 6);
    for (qsizetype i = 0; i < fromWindow.words.size(); ++i) {
        const PdfWord& w = fromWindow.words[i];
        const PdfWord& c = fromCommand.words[i];
        EXPECT_EQ(c.text, w.text);
        EXPECT_EQ(c.page, w.page);
        EXPECT_NEAR(c.box.left(), w.box.left(), 0.01) << w.text.toStdString();
        EXPECT_NEAR(c.box.top(), w.box.top(), 0.01) << w.text.toStdString();
    }
}

}  // namespace
}  // namespace pw::test
