#include "data/contacts_file.h"

#include "support/test_folder.h"
#include "support/stored_contacts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <functional>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace pw {
namespace {

using test::TestFolder;

ContactRecord contact(const QString& first, const QString& last)
{
    ContactRecord r;
    r.FirstName = first;
    r.LastName = last;
    r.Street1 = QStringLiteral("12 Main St");
    r.City = QStringLiteral("Reno");
    r.State = QStringLiteral("NV");
    r.Zip = QStringLiteral("89501");
    r.Birthdate = QStringLiteral("19800410");
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

void expectFrame(const QByteArray& file)
{
    ASSERT_EQ(file.size() % ContactRecord::kSize, 0);
    for (qsizetype at = 0; at < file.size(); at += ContactRecord::kSize) {
        for (int sep : {14, 16, 35, 66, 82, 99, 102, 113, 133, 149, 165, 179, 230, 239, 320, 481, 512, 514})
            EXPECT_EQ(file[at + sep], '|') << "record at " << at << " offset " << sep;
        EXPECT_EQ(file[at + 516], '\r');
        EXPECT_EQ(file[at + 517], '\n');
    }
}

TEST(ContactRecord, EncodesEveryFieldAtItsOffset)
{
    ContactRecord r = contact(QStringLiteral("  Ann"), QStringLiteral("Lee"));
    r.FirstName = QStringLiteral("  Ann");
    r.Notes = QStringLiteral("a|b");
    r.Company = QString(40, u'C');
    const QByteArray bytes = r.encode();
    ASSERT_EQ(bytes.size(), 518);
    expectFrame(bytes);
    EXPECT_EQ(bytes.mid(0, 14), "Ann           ");
    EXPECT_EQ(bytes.mid(17, 18), QByteArray("Lee").leftJustified(18));
    EXPECT_EQ(bytes.mid(231, 8), "19800410");
    EXPECT_EQ(bytes.mid(321, 3), "a|b");
    EXPECT_EQ(bytes.mid(482, 30), QByteArray(30, 'C'));
    EXPECT_EQ(bytes[513], '0');
    EXPECT_EQ(bytes[515], '1');

    const ContactRecord back = ContactRecord::decode(bytes);
    EXPECT_EQ(back.FirstName, u"Ann");
    EXPECT_EQ(back.Notes, u"a|b");
    EXPECT_EQ(back.Company, QString(30, u'C'));
}

TEST(ContactRecord, DecodesTheDisplayedDateAndFlags)
{
    ContactRecord r;
    r.Birthdate = QStringLiteral("19800410");
    EXPECT_EQ(ContactRecord::decode(r.encode()).birthdateForDisplay(), u"04/10/1980");
    r.Birthdate = QString();
    EXPECT_EQ(ContactRecord::decode(r.encode()).birthdateForDisplay(), u"");
    r.Birthdate = QStringLiteral("00000000");
    EXPECT_EQ(ContactRecord::decode(r.encode()).birthdateForDisplay(), u"");

    r.IncludeCompany = QStringLiteral("1");
    r.BirthdayReminders = QStringLiteral("0");
    const ContactRecord back = ContactRecord::decode(r.encode());
    EXPECT_TRUE(back.includeCompanyChecked());
    EXPECT_FALSE(back.remindersOn());
}

TEST(ContactRecord, AShortRecordReadsAsIfPaddedWithBlanks)
{
    const QByteArray full = contact(QStringLiteral("Ann"), QStringLiteral("Lee")).encode();
    const ContactRecord r = ContactRecord::decode(full.left(300));
    EXPECT_EQ(r.FirstName, u"Ann");
    EXPECT_EQ(r.Birthdate, u"19800410");
    EXPECT_EQ(r.Category, u"");
    EXPECT_EQ(r.Notes, u"");
    EXPECT_EQ(r.BirthdayReminders, u"");
}

TEST(ContactRecord, Windows1252NamesRoundTrip)
{
    ContactRecord r = contact(QStringLiteral("Ren\u00e9e"), QStringLiteral("Stra\u00dfer"));
    r.City = QStringLiteral("\u6771\u4eac");  // not in the code page
    const QByteArray bytes = r.encode();
    EXPECT_EQ(bytes.mid(0, 5), "Ren\xe9" "e");
    EXPECT_EQ(bytes.mid(17, 7), "Stra\xdf" "er");
    EXPECT_EQ(bytes.mid(83, 2), "??");
    const ContactRecord back = ContactRecord::decode(bytes);
    EXPECT_EQ(back.FirstName, u"Ren\u00e9e");
    EXPECT_EQ(back.LastName, u"Stra\u00dfer");
    EXPECT_EQ(back.City, u"??");
}

class ContactsFileTest : public ::testing::Test {
protected:
    TestFolder folder;
    QString path = folder.file(QStringLiteral("PWK_Contacts.DAT"));
    ContactsFile file;

    void open() { ASSERT_TRUE(file.open(path)); }
    QByteArray bytes() const { return folder.read(QStringLiteral("PWK_Contacts.DAT")); }
    int count() const { return file.recordCount().value(); }
};

TEST(RecordFile, CountsRecordsFromTheLengthRoundingHalvesToEven)
{
    TestFolder folder;
    RecordFile file(ContactRecord::kSize);
    for (auto [length, records] : {std::pair{0, 0}, {1236, 2}, {1336, 3}, {518 + 259, 2}}) {
        folder.write(QStringLiteral("f"), QByteArray(length, ' '));
        ASSERT_TRUE(file.open(folder.file(QStringLiteral("f")), RecordFile::Mode::ReadOnly));
        EXPECT_EQ(file.count().value(), records) << length;
    }
}

TEST_F(ContactsFileTest, AppendsOverwritesAndReads)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("Ann"), QStringLiteral("Lee"))));
    EXPECT_EQ(bytes().size(), 518);
    EXPECT_EQ(bytes().left(3), "Ann");
    ASSERT_TRUE(file.append(contact(QStringLiteral("Bob"), QStringLiteral("Ray"))));
    ASSERT_TRUE(file.overwrite(1, contact(QStringLiteral("Cy"), QStringLiteral("Fox"))));
    expectFrame(bytes());
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(file.read(1)->FirstName, u"Cy");
    EXPECT_EQ(file.read(2)->FirstName, u"Bob");
    // One pass in record order, which the visitor may end early.
    QStringList seen;
    ASSERT_TRUE(file.forEachRecord([&](int n, const ContactRecord& r) {
        seen << QString::number(n) + r.LastName;
        return n == 1 ? Visit::Stop : Visit::Next;
    }));
    EXPECT_EQ(seen, QStringList{QStringLiteral("1Fox")});
    const std::vector<ContactRecord> all = test::storedRecords(file);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].LastName, u"Ray");
}

TEST_F(ContactsFileTest, RecordNumbersOutsideTheFileAreErrors)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("Ann"), QStringLiteral("Lee"))));
    for (int n : {0, 2, -1}) {
        auto r = file.read(n);
        ASSERT_FALSE(r) << n;
        EXPECT_EQ(r.error().number, kErrBadRecordNumber);
        EXPECT_EQ(r.error().description, u"Bad record number");
    }
    EXPECT_FALSE(file.overwrite(2, contact(QStringLiteral("X"), QStringLiteral("Y"))));
    EXPECT_FALSE(file.remove(3));
    EXPECT_EQ(bytes().size(), 518);
    file.close();
    EXPECT_EQ(file.recordCount().error().number, kErrBadFileNumber);
}

// A short record that appears while the file is open (opening moves one aside) still counts, and
// every change that writes it writes it whole: the next start must still take the file.
TEST_F(ContactsFileTest, EveryChangeWritesACountedShortRecordWithItsFrame)
{
    const QByteArray first = contact(QStringLiteral("Ann"), QStringLiteral("Lee")).encode();
    using Change = std::function<Status()>;
    const std::vector<std::pair<const char*, Change>> changes{
        {"append", [&] { return file.append(contact(QStringLiteral("Bob"), QStringLiteral("Ray"))); }},
        {"reminders", [&] { return file.setBirthdayReminders(false); }},
        {"remove first", [&] { return file.remove(1); }},
        {"remove short", [&] { return file.remove(2); }},
    };
    for (const auto& [name, change] : changes) {
        SCOPED_TRACE(name);
        file.close();
        folder.write(QStringLiteral("PWK_Contacts.DAT"), QByteArray());
        open();
        folder.write(QStringLiteral("PWK_Contacts.DAT"), first + first.left(300));
        ASSERT_EQ(count(), 2);
        ASSERT_TRUE(change());
        expectFrame(bytes());
        EXPECT_EQ(file.read(1)->LastName, u"Lee");
        file.close();
        open();
        EXPECT_EQ(bytes().size() % 518, 0);
    }
}

// Another program cuts the file during a pass: the pass ends with the contacts that are still there.
TEST_F(ContactsFileTest, APassOverAFileThatShrinksMeanwhileEndsWithWhatIsThere)
{
    const QByteArray ann = contact(QStringLiteral("Ann"), QStringLiteral("Lee")).encode();
    folder.write(QStringLiteral("PWK_Contacts.DAT"), ann.repeated(4100));
    open();
    QStringList seen;
    ASSERT_TRUE(file.forEachRecord([&](int n, const ContactRecord& r) {
        if (n == 1)
            EXPECT_TRUE(QFile::resize(path, 4096 * 518 + 16));
        seen << r.FirstName + r.LastName;
        return Visit::Next;
    }));
    ASSERT_EQ(seen.size(), 4097);
    EXPECT_EQ(seen.back(), u"Ann");
}

TEST_F(ContactsFileTest, RemovingTakesTheRecordOutAndMovesTheRestUp)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("Only"), QStringLiteral("One"))));
    ASSERT_TRUE(file.remove(1));
    EXPECT_EQ(bytes().size(), 0);
    EXPECT_EQ(count(), 0);

    for (const char* name : {"Ann", "Bob", "Cy"})
        ASSERT_TRUE(file.append(contact(QString::fromLatin1(name), QStringLiteral("X"))));
    const QByteArray before = bytes();
    ASSERT_TRUE(file.remove(2));
    EXPECT_EQ(bytes(), before.left(518) + before.mid(2 * 518));
    EXPECT_FALSE(QFile::exists(ContactsFile::scratchPathFor(path)));
    // The file stays open and usable after the rename.
    ASSERT_TRUE(file.append(contact(QStringLiteral("Dee"), QStringLiteral("X"))));
    EXPECT_EQ(file.read(3)->FirstName, u"Dee");
}

TEST_F(ContactsFileTest, AFailedRemovalReportsTheSystemErrorAndKeepsEveryRecord)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("Ann"), QStringLiteral("Lee"))));
    // A folder where the scratch file would go: it cannot be created, even by root.
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("PWK_Contacts.DAT.Tempf")));
    const auto result = file.remove(1);
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().number, EISDIR);
    EXPECT_EQ(result.error().description, u"Is a directory");
    EXPECT_EQ(file.read(1)->FirstName, u"Ann");
}

// A failure after the record was marked, unlike a crash, puts everything back at once: nothing
// reports the contact gone, so no later opening may take it out.
TEST_F(ContactsFileTest, ARemovalThatFailsAfterMarkingLeavesEveryRecordAsItWas)
{
    using Step = ContactsFile::RemovalStep;
    for (Step breakAt : {Step::NoteWritten, Step::ScratchSynced}) {
        SCOPED_TRACE(static_cast<int>(breakAt));
        QFile::remove(path);
        open();
        for (const char* name : {"Ann", "Bob", "Cy"})
            ASSERT_TRUE(file.append(contact(QString::fromLatin1(name), QStringLiteral("X"))));
        const QByteArray before = bytes();
        const QString scratch = ContactsFile::scratchPathFor(path);
        // A folder in place of the scratch file: writing or renaming it fails with a real error.
        file.setRemovalProbe([&](Step step) {
            if (step == breakAt) {
                QFile::remove(scratch);
                EXPECT_TRUE(QDir(folder.path()).mkdir(QFileInfo(scratch).fileName()));
            }
            return true;
        });
        EXPECT_FALSE(file.remove(2));
        file.setRemovalProbe({});
        EXPECT_EQ(bytes(), before);
        EXPECT_FALSE(QFileInfo::exists(scratch));
        file.close();
        open();
        EXPECT_EQ(bytes(), before);
        file.close();
    }
}

// A pipe would hang every reader, a device or a folder is no file of contacts: each is refused at
// once with a message, for reading and for writing.
TEST(ContactsFile, WhatIsNotARegularFileIsRefusedWithAMessage)
{
    TestFolder folder;
    const QString fifo = folder.file(QStringLiteral("pipe.DAT"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/full"), folder.path()}) {
        for (AccessMode mode : {AccessMode::Read, AccessMode::Write}) {
            ContactsFile file;
            const auto opened = file.open(path, mode);
            ASSERT_TRUE(opened) << path.toStdString();
            EXPECT_FALSE(opened->opened());
            EXPECT_EQ(opened->message.value_or(Message{}).text,
                      path + QStringLiteral(" is a folder, a device or a pipe, not a contacts file, so it was not opened."));
        }
    }
}

// Stops a removal at every step, as a power cut would, and reopens the file as the next start would.
// A contact whose first name is the marker itself must survive every one of them.
TEST_F(ContactsFileTest, AnInterruptedRemovalNeverLosesASavedContact)
{
    using Step = ContactsFile::RemovalStep;
    const QStringList all = {"Ann", "*DELETED*", "Cy", "Dee", "Eve"};
    for (Step stop : {Step::NoteWritten, Step::Marked, Step::ScratchHalfWritten, Step::ScratchSynced,
                      Step::Renamed}) {
        SCOPED_TRACE(static_cast<int>(stop));
        QFile::remove(path);
        open();
        for (const QString& name : all)
            ASSERT_TRUE(file.append(contact(name, QStringLiteral("X"))));
        file.setRemovalProbe([stop](Step step) { return step != stop; });
        EXPECT_FALSE(file.remove(3));
        file.setRemovalProbe({});
        file.close();

        ContactsFile reopened;
        ASSERT_TRUE(reopened.open(path));
        const QByteArray after = bytes();
        expectFrame(after);
        EXPECT_FALSE(QFile::exists(ContactsFile::scratchPathFor(path)));
        EXPECT_FALSE(QFile::exists(ContactsFile::removalNotePathFor(path)));
        QStringList names;
        for (const ContactRecord& r : test::storedRecords(reopened))
            names << r.FirstName;
        // Once the record is marked the removal is finished on reopening; before that nothing changed.
        if (stop == Step::NoteWritten)
            EXPECT_EQ(names, all);
        else
            EXPECT_EQ(names, QStringList({"Ann", "*DELETED*", "Dee", "Eve"}));
        reopened.close();
    }
}

TEST_F(ContactsFileTest, RemovalGoesByRecordNumberNotByWhatAFirstNameHolds)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("*DELETED*"), QStringLiteral("Keeper"))));
    ASSERT_TRUE(file.append(contact(QStringLiteral("Bob"), QStringLiteral("Ray"))));
    ASSERT_TRUE(file.remove(2));
    ASSERT_EQ(count(), 1);
    EXPECT_EQ(file.read(1)->LastName, u"Keeper");
}

// Without a note of the removal there is no telling which marked record was meant, so none goes.
TEST_F(ContactsFileTest, AStaleScratchFileIsDroppedOnOpeningAndNoRecordWithIt)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("*DELETED*"), QStringLiteral("Keeper"))));
    ASSERT_TRUE(file.append(contact(QStringLiteral("Ann"), QStringLiteral("Lee"))));
    const QByteArray before = bytes();
    file.close();
    folder.write(QStringLiteral("PWK_Contacts.DAT.Tempf"), QByteArray(100, 'x'));
    open();
    EXPECT_EQ(bytes(), before);
    EXPECT_FALSE(QFile::exists(ContactsFile::scratchPathFor(path)));
}

TEST_F(ContactsFileTest, RemovingThroughASymlinkReplacesTheRealFileAndKeepsItsPermissions)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("sync")));
    const QString real = folder.file(QStringLiteral("sync/real.DAT"));
    folder.write(QStringLiteral("sync/real.DAT"), {});
    ASSERT_TRUE(QFile::setPermissions(real, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    ASSERT_TRUE(QFile::link(real, path));
    open();
    for (const char* name : {"Ann", "Bob"})
        ASSERT_TRUE(file.append(contact(QString::fromLatin1(name), QStringLiteral("X"))));
    ASSERT_TRUE(file.remove(1));
    ASSERT_TRUE(file.append(contact(QStringLiteral("Cy"), QStringLiteral("X"))));

    EXPECT_TRUE(QFileInfo(path).isSymLink());
    EXPECT_EQ(QFile::permissions(real) & 0x7077, // owner, group and others; not the Qt-only "user" bits
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    const QByteArray stored = folder.read(QStringLiteral("sync/real.DAT"));
    ASSERT_EQ(stored.size(), 2 * 518);
    EXPECT_EQ(stored.left(3), "Bob");
    EXPECT_EQ(stored.mid(518, 2), "Cy");
    // Beside it only the lock, which the rename leaves in place.
    EXPECT_EQ(QDir(folder.file(QStringLiteral("sync"))).entryList(QDir::Files),
              (QStringList{"real.DAT", "real.DAT.lock"}));
}

TEST_F(ContactsFileTest, AFileThatIsNotAContactsFileIsRefusedUntouchedAndTheCurrentOneStaysOpen)
{
    open();
    ASSERT_TRUE(file.append(contact(QStringLiteral("Ann"), QStringLiteral("Lee"))));
    const QByteArray strangers[] = {"Shopping list\nmilk\neggs\nbread\nthe plumber's number\n",
                                    QByteArray("Shopping list\nmilk\neggs\n").repeated(200)};
    for (const QByteArray& stranger : strangers) {
        folder.write(QStringLiteral("other.DAT"), stranger);
        const QString other = folder.file(QStringLiteral("other.DAT"));
        auto result = file.open(other);
        ASSERT_TRUE(result);
        EXPECT_FALSE(result->opened());
        ASSERT_TRUE(result->message);
        EXPECT_EQ(result->message->text, other + QStringLiteral(" is not a contacts file, so it was not opened.  Nothing in it was changed."));
        EXPECT_EQ(result->message->title, u"Not a contacts file");
        EXPECT_EQ(result->message->icon, MessageIcon::Warning);
        EXPECT_EQ(folder.read(QStringLiteral("other.DAT")), stranger);
        EXPECT_EQ(file.path(), path);
        EXPECT_EQ(file.read(1)->FirstName, u"Ann");
    }
    ASSERT_TRUE(file.append(contact(QStringLiteral("Cy"), QStringLiteral("X"))));
    EXPECT_EQ(count(), 2);
}

TEST_F(ContactsFileTest, AnAppendCutShortIsMovedBesideTheFileAndTheRestOpens)
{
    const QByteArray ann = contact(QStringLiteral("Ann"), QStringLiteral("Lee")).encode();
    const auto openWith = [&](const QByteArray& content) {
        folder.write(QStringLiteral("PWK_Contacts.DAT"), content);
        return file.open(path).value();
    };
    ContactsOpenResult result = openWith(ann + ann.left(300));
    EXPECT_EQ(result.outcome, ContactsOpenResult::Outcome::FragmentMoved);
    EXPECT_EQ(result.fragmentPath, path + QStringLiteral(".fragment"));
    EXPECT_EQ(folder.read(QStringLiteral("PWK_Contacts.DAT.fragment")), ann.left(300));
    EXPECT_EQ(bytes(), ann);
    EXPECT_EQ(count(), 1);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(result.message->text, QStringLiteral("The end of %1 held an incomplete contact (300 bytes), probably "
                                                   "from a save that was cut short.  Those bytes were moved to "
                                                   "%1.fragment and the complete contacts were opened.")
                                        .arg(path));
    EXPECT_EQ(result.message->title, u"Contacts file repaired");

    // A later fragment never replaces an earlier one; a lone start of a record counts as a fragment.
    result = openWith(ann.left(40));
    EXPECT_EQ(result.fragmentPath, path + QStringLiteral(".fragment-2"));
    EXPECT_EQ(folder.read(QStringLiteral("PWK_Contacts.DAT.fragment-2")), ann.left(40));
    EXPECT_EQ(folder.read(QStringLiteral("PWK_Contacts.DAT.fragment")), ann.left(300));
    EXPECT_EQ(count(), 0);

    result = openWith({});
    EXPECT_EQ(result.outcome, ContactsOpenResult::Outcome::Opened);
    EXPECT_FALSE(result.message);
}

TEST_F(ContactsFileTest, SetsTheBirthdayReminderFlagOfEveryRecordOnly)
{
    open();
    ASSERT_TRUE(file.setBirthdayReminders(false));
    EXPECT_EQ(bytes().size(), 0);
    for (const char* name : {"Ann", "Bob", "Cy"})
        ASSERT_TRUE(file.append(contact(QString::fromLatin1(name), QStringLiteral("X"))));
    QByteArray expected = bytes();
    ASSERT_TRUE(file.setBirthdayReminders(false));
    for (int r = 0; r < 3; ++r)
        expected[r * 518 + 515] = '0';
    EXPECT_EQ(bytes(), expected);
    ASSERT_TRUE(file.setBirthdayReminders(true));
    EXPECT_TRUE(file.read(2)->remindersOn());
}

TEST_F(ContactsFileTest, SettingRemindersCompletesACountedShortRecord)
{
    const QByteArray first = contact(QStringLiteral("Ann"), QStringLiteral("Lee")).encode();
    open();
    folder.write(QStringLiteral("PWK_Contacts.DAT"), first + first.left(300) + first.left(100));
    ASSERT_EQ(count(), 2);
    ASSERT_TRUE(file.setBirthdayReminders(false));
    const QByteArray after = bytes();
    ASSERT_EQ(after.size(), 2 * 518);
    expectFrame(after);
    EXPECT_EQ(file.read(2)->FirstName, u"Ann");
    EXPECT_FALSE(file.read(2)->remindersOn());
}

}  // namespace
}  // namespace pw
