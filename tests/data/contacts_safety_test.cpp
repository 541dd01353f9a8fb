// What lies beside or in a contacts file that should not: links at the names its writes use, notes
// of another file, records that lost their line end or were damaged, files nobody meant to share.
#include "data/contacts_file.h"
#include "list/mailing_order.h"
#include "transfer/contact_export.h"

#include "support/scripted_platform.h"
#include "support/stored_contacts.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pw {
namespace {

using test::TestFolder;

ContactRecord named(const char* first)
{
    ContactRecord r;
    r.FirstName = QString::fromLatin1(first);
    r.LastName = QStringLiteral("Lee");
    r.Street1 = QStringLiteral("1 Elm St");
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

QByteArray records(std::initializer_list<const char*> names)
{
    QByteArray bytes;
    for (const char* name : names)
        bytes += named(name).encode();
    return bytes;
}

QStringList shown(const ContactsFile& file)
{
    QStringList names;
    for (const ContactRecord& r : test::storedRecords(file))
        names << (r.FirstName.isEmpty() ? r.Street1 : r.FirstName);
    return names;
}

unsigned modeOf(const QString& path)
{
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// Links planted at every name a change writes beside the file: a fragment moved, a removal, an
// import, reminders turned off and an export all happen, and the file the links lead to is untouched.
TEST(ContactsSafety, NoWriteGoesThroughALinkPlantedAtAScratchName)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    folder.write(QStringLiteral("victim"), "precious");
    folder.write(QStringLiteral("c.DAT"), records({"Ann", "Bob"}) + "cut sho");
    for (const char* name : {"c.DAT.Tempf", "c.DAT.Tempf.record", "c.DAT.Tempf.append", "c.DAT.fragment",
                             "c.DAT.partial", "c.DAT.Tempf.partial", "out.csv.partial"})
        ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("victim")), folder.file(QString::fromLatin1(name))));
    // Opened through a link, the file stays the one it led to when the link is pointed elsewhere.
    ASSERT_TRUE(QFile::link(path, folder.file(QStringLiteral("link.DAT"))));
    ContactsFile file;
    ASSERT_TRUE(file.open(folder.file(QStringLiteral("link.DAT"))).value().opened());
    ASSERT_TRUE(QFile::remove(folder.file(QStringLiteral("link.DAT"))));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("victim")), folder.file(QStringLiteral("link.DAT"))));

    ASSERT_TRUE(file.remove(1));
    ASSERT_TRUE(file.beginAppends());
    ASSERT_TRUE(file.append(named("Cy")));
    ASSERT_TRUE(file.commitAppends());
    ASSERT_TRUE(file.setBirthdayReminders(false));
    EXPECT_FALSE(writeExportFile(file, ExportFormat::Csv, folder.file(QStringLiteral("out.csv"))).error);

    EXPECT_EQ(folder.read(QStringLiteral("victim")), "precious");
    EXPECT_FALSE(QFileInfo(path).isSymLink());
    EXPECT_EQ(shown(file), (QStringList{"Bob", "Cy"}));
    EXPECT_EQ(folder.read(QStringLiteral("c.DAT.fragment-2")), "cut sho");
}

// An import cut short leaves its note; a copy put at the path afterwards (renamed there, or copied
// over the same file) is not the file the note was written for: it stays whole and the note is named.
TEST(ContactsSafety, AnImportNoteIsAppliedOnlyToTheFileItWasWrittenFor)
{
    for (bool sameInode : {false, true}) {
        SCOPED_TRACE(sameInode ? "copied over" : "renamed over");
        TestFolder folder;
        const QString path = folder.file(QStringLiteral("c.DAT"));
        folder.write(QStringLiteral("c.DAT"), records({"Ann"}));
        {
            ContactsFile importing;
            ASSERT_TRUE(importing.open(path) && importing.beginAppends() && importing.append(named("Bob")));
        }
        const QByteArray restored = records({"Cy", "Dee", "Eve"});
        if (sameInode) {
            folder.write(QStringLiteral("c.DAT"), restored);
        } else {
            folder.write(QStringLiteral("copy"), restored);
            ASSERT_EQ(::rename(QFile::encodeName(folder.file(QStringLiteral("copy"))).constData(),
                               QFile::encodeName(path).constData()), 0);
        }
        ContactsFile reader;
        ASSERT_TRUE(reader.open(path, AccessMode::Read));
        EXPECT_EQ(shown(reader), (QStringList{"Cy", "Dee", "Eve"}));
        ContactsFile writer;
        const auto opened = writer.open(path);
        ASSERT_TRUE(opened);
        EXPECT_EQ(folder.read(QStringLiteral("c.DAT")), restored);
        const QString aside = path + QStringLiteral(".Tempf.append.unmatched");
        EXPECT_TRUE(QFile::exists(aside));
        EXPECT_FALSE(QFile::exists(ContactsFile::appendNotePathFor(path)));
        EXPECT_TRUE(opened->message.value_or(Message{}).text.contains(aside));
    }
}

// A last record that lost its line end is a contact for readers and writers alike; a writer puts
// the line end back and moves nothing aside.
TEST(ContactsSafety, ALastRecordWithoutItsLineEndIsAContact)
{
    for (int lost : {1, 2}) {
        TestFolder folder;
        const QString path = folder.file(QStringLiteral("c.DAT"));
        const QByteArray whole = records({"Ann", "Bob", "Cy"});
        folder.write(QStringLiteral("c.DAT"), whole.chopped(lost));
        ContactsFile reader;
        ASSERT_TRUE(reader.open(path, AccessMode::Read));
        EXPECT_EQ(shown(reader), (QStringList{"Ann", "Bob", "Cy"})) << lost;
        ContactsFile writer;
        ASSERT_TRUE(writer.open(path).value().outcome == ContactsOpenResult::Outcome::Opened);
        EXPECT_EQ(folder.read(QStringLiteral("c.DAT")), whole) << lost;
        EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*fragment*")}), QStringList());
    }
}

// Damaged records first, in the middle and last: the file opens, the list names each by number,
// an export and a mailing's labels leave them out with a count, and no NUL byte is written. A file of implausible size is refused.
TEST(ContactsSafety, DamagedRecordsAreNamedAndSkippedNotTheWholeFile)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    const QByteArray zeros(518, '\0'), ones(518, '\xff');
    QByteArray midNul = named("Dee").encode();
    midNul[40] = '\0';
    folder.write(QStringLiteral("c.DAT"), zeros + records({"Ann", "Bob"}) + midNul + records({"Eve"}) + ones);
    ContactsFile file;
    ASSERT_TRUE(file.open(path).value().opened());
    EXPECT_EQ(shown(file), (QStringList{"(damaged record 1)", "Ann", "Bob", "(damaged record 4)", "Eve",
                                        "(damaged record 6)"}));
    EXPECT_EQ(file.read(4)->Street1, u"(damaged record 4)");
    const ExportResult exported = writeExportFile(file, ExportFormat::Csv, folder.file(QStringLiteral("out.csv")));
    EXPECT_EQ(exported.written, 3);
    EXPECT_EQ(exported.damaged, 3);
    EXPECT_FALSE(folder.read(QStringLiteral("out.csv")).contains('\0'));
    EXPECT_TRUE(exportEndMessage(exported, ExportFormat::Csv, QStringLiteral("out.csv"))
                    .text.endsWith(u"  3 damaged records were left out."));
    test::ScriptedPlatform platform(folder.path());
    const auto mailing = readMailing(platform, file, {6, 5, 4, 3, 2, 1}, {}, file.follows());
    ASSERT_TRUE(mailing);
    ASSERT_EQ(mailing->labels.size(), 3u);
    EXPECT_EQ(mailing->labels[0].name.split(u' ').first(), u"Eve");
    EXPECT_EQ(mailing->damaged, 3);

    folder.write(QStringLiteral("sparse.DAT"), records({"Ann"}));
    ASSERT_TRUE(QFile::resize(folder.file(QStringLiteral("sparse.DAT")), qint64(600) << 20));
    const auto sparse = file.open(folder.file(QStringLiteral("sparse.DAT")));
    ASSERT_TRUE(sparse);
    EXPECT_FALSE(sparse->opened());
    EXPECT_TRUE(sparse->message.value_or(Message{}).text.contains(u"cannot be a contacts file"));
    EXPECT_EQ(file.path(), path);
}

// Under the usual umask a new contacts file is its owner's alone, and what is made from it too.
TEST(ContactsSafety, ANewFileIsPrivateAndItsExportsAndFragmentsTakeItsMode)
{
    const mode_t before = ::umask(022);
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    ContactsFile file;
    ASSERT_TRUE(file.open(path).value().created);
    EXPECT_EQ(modeOf(path), 0600u);
    ASSERT_TRUE(file.append(named("Ann")));
    EXPECT_FALSE(writeExportFile(file, ExportFormat::Csv, folder.file(QStringLiteral("out.csv"))).error);
    EXPECT_EQ(modeOf(folder.file(QStringLiteral("out.csv"))), 0600u);
    file.close();
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::Append) && cut.write("cut") == 3);
    cut.close();
    ASSERT_TRUE(file.open(path).value().outcome == ContactsOpenResult::Outcome::FragmentMoved);
    EXPECT_EQ(modeOf(path + QStringLiteral(".fragment")), 0600u);
    ::umask(before);
}

}  // namespace
}  // namespace pw
