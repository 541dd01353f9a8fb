// The one durable write against other writers and against what may lie at the names it uses.
#include "data/contacts_file.h"
#include "data/durable_file.h"
#include "transfer/contact_export.h"

#include "support/stored_contacts.h"
#include "support/test_folder.h"

#include <QDir>

#include <thread>

#include <gtest/gtest.h>

namespace pw {
namespace {

using test::TestFolder;

ContactRecord named(const QString& first)
{
    ContactRecord r;
    r.FirstName = first;
    r.LastName = QStringLiteral("Lee");
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

// A window and a command exporting onto one file at once: the file is always one export whole, and
// each says so truthfully.
TEST(DurableWrite, TwoExportsAtOnceOntoOneFileNeverMix)
{
    TestFolder folder;
    ContactsFile files[2];
    QByteArray alone[2];
    const QString out = folder.file(QStringLiteral("out.csv"));
    for (int i : {0, 1}) {
        test::writeContacts(files[i], folder.file(QStringLiteral("c%1.DAT").arg(i)),
                            std::vector<ContactRecord>(3000, named(i == 0 ? QStringLiteral("Ann") : QStringLiteral("Bob"))));
        ASSERT_FALSE(writeExportFile(files[i], ExportFormat::Csv, out).error);
        alone[i] = folder.read(QStringLiteral("out.csv"));
    }
    for (int round = 0; round < 10; ++round) {
        std::optional<FileError> errors[2];
        std::thread other([&] { errors[1] = writeExportFile(files[1], ExportFormat::Csv, out).error; });
        errors[0] = writeExportFile(files[0], ExportFormat::Csv, out).error;
        other.join();
        EXPECT_FALSE(errors[0] || errors[1]) << round;
        const QByteArray after = folder.read(QStringLiteral("out.csv"));
        ASSERT_TRUE(after == alone[0] || after == alone[1]) << "round " << round << ": " << after.size() << " bytes";
    }
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("out.csv*")}, QDir::Files), QStringList{"out.csv"});
}

}  // namespace
}  // namespace pw
