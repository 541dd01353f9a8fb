// Other programs on the same file: a reader that finds another program's unfinished work, a file
// renamed over the open one, a folder that will not take a lock.
#include "data/contacts_file.h"

#include "support/stored_contacts.h"
#include "support/test_folder.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
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
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

QStringList firstNames(const ContactsFile& file)
{
    QStringList names;
    for (const ContactRecord& r : test::storedRecords(file))
        names << r.FirstName;
    return names;
}

// What a crashed import and a crashed removal left: a reader shows what a writer's repair will
// leave, writes nothing, and may change nothing.
TEST(ContactsSharing, AReaderShowsTheRepairedFileAndWritesNothing)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    QByteArray marked = named("Bob").encode();
    marked.replace(0, 14, QByteArray("*DELETED*").leftJustified(14, ' '));
    const QByteArray before = named("Ann").encode() + marked + named("Cy").encode();
    folder.write(QStringLiteral("c.DAT"), before);
    {
        // An import that the process ended in the middle of a write.
        ContactsFile importing;
        ASSERT_TRUE(importing.open(path) && importing.beginAppends() && importing.append(named("Dee")));
    }
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::Append) && cut.write("half a rec") == 10);
    cut.close();
    folder.write(QStringLiteral("c.DAT.Tempf.record"), "2 3\r\n");
    const QByteArray onDisk = folder.read(QStringLiteral("c.DAT"));

    ContactsFile reader;
    ASSERT_TRUE(reader.open(path, AccessMode::Read));
    EXPECT_EQ(reader.recordCount().value(), 2);
    EXPECT_EQ(firstNames(reader), (QStringList{QStringLiteral("Ann"), QStringLiteral("Cy")}));
    EXPECT_EQ(reader.read(2)->FirstName, u"Cy");
    EXPECT_EQ(reader.append(named("Eve")).error().number, EACCES);
    EXPECT_EQ(reader.remove(1).error().number, EACCES);
    EXPECT_EQ(folder.read(QStringLiteral("c.DAT")), onDisk);
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("c.DAT.Tempf.append"))));
    EXPECT_TRUE(QFile::exists(folder.file(QStringLiteral("c.DAT.Tempf.record"))));

    // A writer's change repairs first; a reader then sees the same contacts on the disk.
    ContactsFile writer;
    ASSERT_TRUE(writer.open(path));
    ASSERT_TRUE(writer.append(named("Eve")));
    EXPECT_EQ(firstNames(reader), (QStringList{QStringLiteral("Ann"), QStringLiteral("Cy"), QStringLiteral("Eve")}));
}

// A sync client or a second window puts a new file in place by rename: the next change lands in
// it, and nothing is written to the file no name leads to any more.
TEST(ContactsSharing, AFileRenamedOverTheOpenOneIsFollowedBeforeEveryWrite)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    ContactsFile window;
    test::writeContacts(window, path, {named("Ann")});
    const QByteArray replacement = named("Bob").encode() + named("Cy").encode();
    folder.write(QStringLiteral("new.DAT"), replacement);
    ASSERT_EQ(::rename(QFile::encodeName(folder.file(QStringLiteral("new.DAT"))).constData(),
                       QFile::encodeName(path).constData()),
              0);

    EXPECT_EQ(window.recordCount().value(), 2);
    ASSERT_TRUE(window.append(named("Dee")));
    EXPECT_EQ(folder.read(QStringLiteral("c.DAT")), replacement + named("Dee").encode());
    ASSERT_TRUE(window.remove(1));
    EXPECT_EQ(firstNames(window), (QStringList{QStringLiteral("Cy"), QStringLiteral("Dee")}));

    // Removed by another program: the change fails rather than go to the unlinked file.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(window.append(named("Eve")).error().number, ENOENT);
    EXPECT_FALSE(QFile::exists(path));
}

// Another program holds the current file's lock; opening a second file, and finishing the removal
// that a crash left in it, waits on nothing but the second file's own lock.
TEST(ContactsSharing, OpeningAFileWaitsOnlyForItsOwnLock)
{
    TestFolder folder;
    ContactsFile file;
    test::writeContacts(file, folder.file(QStringLiteral("a.DAT")), {named("Ann")});
    QByteArray marked = named("Bob").encode();
    marked.replace(0, 14, QByteArray("*DELETED*").leftJustified(14, ' '));
    folder.write(QStringLiteral("b.DAT"), named("Cy").encode() + marked);
    folder.write(QStringLiteral("b.DAT.Tempf.record"), "2 2\r\n");
    const int other = ::open(QFile::encodeName(ContactsFile::lockPathFor(folder.file(QStringLiteral("a.DAT")))).constData(),
                             O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);

    const auto opened = file.open(folder.file(QStringLiteral("b.DAT")));
    ::close(other);
    ASSERT_TRUE(opened) << opened.error().description.toStdString();
    EXPECT_EQ(firstNames(file), QStringList{QStringLiteral("Cy")});
    EXPECT_EQ(folder.read(QStringLiteral("b.DAT")), named("Cy").encode());
}

// An import that made the file and then failed takes away only the empty file it made, never one
// that another program filled meanwhile.
TEST(ContactsSharing, AFailedImportRemovesOnlyTheEmptyFileItMade)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    ContactsFile importing;
    ASSERT_TRUE(importing.open(path).value().created);
    ContactsFile other;
    ASSERT_FALSE(other.open(path).value().created);
    ASSERT_TRUE(other.append(named("Ann")));
    EXPECT_FALSE(importing.removeIfStillNew());
    EXPECT_EQ(folder.read(QStringLiteral("c.DAT")), named("Ann").encode());

    ContactsFile alone;
    ASSERT_TRUE(alone.open(folder.file(QStringLiteral("new.DAT"))).value().created);
    EXPECT_TRUE(alone.removeIfStillNew());
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("new.DAT"))));
}

// A folder where the lock cannot be made still shows the file, with one warning.
TEST(ContactsSharing, NoLockOpensTheFileWithAWarning)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("c.DAT"));
    folder.write(QStringLiteral("c.DAT"), named("Ann").encode());
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("c.DAT.lock")));
    ContactsFile file;
    const auto opened = file.open(path);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(opened->warning);
    EXPECT_EQ(opened->warning->title, u"Other programs cannot be detected");
    EXPECT_FALSE(opened->message);
    EXPECT_EQ(firstNames(file), QStringList{QStringLiteral("Ann")});
    ASSERT_TRUE(file.append(named("Bob")));
}

}  // namespace
}  // namespace pw
