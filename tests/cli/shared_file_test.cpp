// Several real processes on one contacts file: imports at once, a list during an import, and a
// file that the user may only read.
#include "cli/run_postwick.h"
#include "data/contacts_file.h"
#include "support/stored_contacts.h"
#include "support/test_folder.h"

#include <QFile>
#include <QProcess>
#include <QSet>

#include <memory>
#include <numeric>
#include <tuple>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw::test {
namespace {

using namespace Qt::StringLiterals;

QByteArray csvOf(const QString& prefix, int rows)
{
    QByteArray csv = "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,"
                     "Include Company in Address,Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes\r\n";
    for (int i = 0; i < rows; ++i)
        csv += (prefix + QString::number(i) + u",,Lee,,,Reno,,,,,0,,,,,,,\r\n"_s).toLatin1();
    return csv;
}

// Every first name stored, and how many times.
QMap<QString, int> storedNames(const QString& path)
{
    ContactsFile file;
    EXPECT_TRUE(file.open(path, AccessMode::Read));
    QMap<QString, int> names;
    for (const ContactRecord& r : storedRecords(file))
        ++names[r.FirstName];
    return names;
}

// Two imports and a list at once: each import either stores all its contacts once and says so, or
// is refused with a message; the list shows the file before or after an import, never part of one.
TEST(SharedFile, ImportsAndAListAtOnceLoseNothingAndClaimNothingUndone)
{
    TestFolder folder;
    folder.write(u"a.csv"_s, csvOf(u"A"_s, 2000));
    folder.write(u"b.csv"_s, csvOf(u"B"_s, 1000));
    ASSERT_EQ(runPostwick(folder.path(), {u"import"_s, u"c.DAT"_s, u"b.csv"_s}).status, 0);
    folder.write(u"b.csv"_s, csvOf(u"C"_s, 1000));

    std::unique_ptr<QProcess> a(startPostwick(folder.path(), {u"import"_s, u"c.DAT"_s, u"a.csv"_s}));
    std::unique_ptr<QProcess> b(startPostwick(folder.path(), {u"import"_s, u"c.DAT"_s, u"b.csv"_s}));
    std::unique_ptr<QProcess> list(startPostwick(folder.path(), {u"list"_s, u"c.DAT"_s}));
    for (QProcess* p : {a.get(), b.get(), list.get()})
        ASSERT_TRUE(p->waitForFinished(180000));

    const QMap<QString, int> names = storedNames(folder.file(u"c.DAT"_s));
    int expected = 1000;
    for (auto [program, prefix, rows] : {std::tuple{a.get(), u"A"_s, 2000}, {b.get(), u"C"_s, 1000}}) {
        const QByteArray err = program->readAllStandardError();
        if (program->exitCode() == 0) {
            expected += rows;
            for (int i = 0; i < rows; ++i)
                ASSERT_EQ(names.value(prefix + QString::number(i)), 1) << qPrintable(prefix) << i;
        } else {
            EXPECT_FALSE(err.isEmpty());
            EXPECT_FALSE(names.contains(prefix + u"0"_s));
        }
    }
    EXPECT_EQ(std::accumulate(names.begin(), names.end(), 0), expected);
    const qsizetype listed = list->readAllStandardOutput().count('\n');
    EXPECT_EQ(list->exitCode(), 0);
    EXPECT_TRUE(QSet<qsizetype>({1000, 2000, 3000, 4000}).contains(listed)) << listed;
    EXPECT_FALSE(QFile::exists(ContactsFile::appendNotePathFor(folder.file(u"c.DAT"_s))));
}

// Another program holds the file: the command waits as long as it is told, then ends with the
// status a script can retry on, naming who holds it. "--" lets a file's name begin with a dash.
TEST(SharedFile, ABusyFileEndsTheCommandWithStatus75)
{
    TestFolder folder;
    folder.write(u"a.csv"_s, csvOf(u"A"_s, 2));
    ASSERT_EQ(runPostwick(folder.path(), {u"import"_s, u"--"_s, u"-c.DAT"_s, u"a.csv"_s}).status, 0);
    EXPECT_EQ(runPostwick(folder.path(), {u"list"_s, u"--"_s, u"-c.DAT"_s}).out.count('\n'), 2);
    const int held = ::open(QFile::encodeName(folder.file(u"-c.DAT.lock"_s)).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const ProgramRun busy = runPostwick(folder.path(), {u"import"_s, u"--wait"_s, u"1"_s, u"--"_s, u"-c.DAT"_s, u"a.csv"_s});
    ::close(held);
    EXPECT_EQ(busy.status, 75);
    EXPECT_TRUE(busy.err.contains("is in use by")) << busy.err.toStdString();
    EXPECT_EQ(runPostwick(folder.path(), {u"list"_s, u"--"_s, u"-c.DAT"_s}).out.count('\n'), 2);
}

// Read-only for an ordinary user (the tests may run as root, which no permission stops).
TEST(SharedFile, AReadOnlyFileIsListedLabelledAndExportedButNotChanged)
{
    TestFolder folder;
    folder.write(u"a.csv"_s, csvOf(u"A"_s, 3));
    ASSERT_EQ(runPostwick(folder.path(), {u"import"_s, u"c.DAT"_s, u"a.csv"_s}).status, 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.path()).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(u"c.DAT"_s)).constData(), 0444), 0);
    const QByteArray before = folder.read(u"c.DAT"_s);
    const auto asUser = [&](const QStringList& arguments) {
        QStringList command{u"--reuid=65534"_s, u"--regid=65534"_s, u"--clear-groups"_s,
                            QStringLiteral(POSTWICK_PROGRAM)};
        if (::geteuid() != 0)
            command = {QStringLiteral(POSTWICK_PROGRAM)};
        QProcess program;
        program.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(u"DISPLAY"_s);
        environment.insert(u"HOME"_s, folder.path());
        program.setProcessEnvironment(environment);
        const QString first = command.takeFirst();
        program.start(::geteuid() == 0 ? u"setpriv"_s : first,
                      ::geteuid() == 0 ? QStringList{first} + command + arguments : command + arguments);
        EXPECT_TRUE(program.waitForFinished(120000));
        return std::tuple{program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
    };
    EXPECT_EQ(std::get<1>(asUser({u"list"_s, u"c.DAT"_s})).count('\n'), 3);
    EXPECT_EQ(std::get<0>(asUser({u"export"_s, u"c.DAT"_s, u"--csv"_s, u"-o"_s, u"out.csv"_s})), 0);
    EXPECT_EQ(folder.read(u"out.csv"_s).count('\n'), 4);
    EXPECT_EQ(std::get<0>(asUser({u"labels"_s, u"c.DAT"_s, u"-o"_s, u"out.pdf"_s})), 0);
    const auto [status, out, err] = asUser({u"import"_s, u"c.DAT"_s, u"a.csv"_s});
    EXPECT_NE(status, 0);
    EXPECT_TRUE(err.contains("Permission denied")) << err.toStdString();
    EXPECT_EQ(folder.read(u"c.DAT"_s), before);
}

}  // namespace
}  // namespace pw::test
