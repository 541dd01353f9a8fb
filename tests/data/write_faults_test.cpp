// Every operation that changes a file, with a fault at each of its writes, flushes, syncs, renames
// and removals in turn: a short write, a full disk, an I/O error, a refusal, and the process killed
// there. Afterwards the contacts file opens and every contact saved before is there byte for byte,
// the operation done or not done; a failure carries the system's error.
#include "data/contacts_file.h"
#include "data/file_system.h"
#include "printing/margin_settings.h"
#include "printing/pdf_actual_size.h"
#include "program/app_files.h"
#include "transfer/contact_export.h"
#include "transfer/csv_import.h"

#include "support/test_folder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pw {
namespace {

using test::TestFolder;

enum class Fault { ShortWrite, NoSpace, IoError, Denied, Crash };
constexpr int kCrashed = 86;  // the exit status of a child killed at the chosen point

int errnoOf(Fault fault)
{
    switch (fault) {
    case Fault::NoSpace: case Fault::ShortWrite: return ENOSPC;
    case Fault::IoError: return EIO;
    case Fault::Denied: return EACCES;
    case Fault::Crash: break;
    }
    return 0;
}

// Names every call that changes a file, in order, by the call and the file's name; the call
// numbered `failAt` gets the fault.
class FaultyFileSystem final : public FileSystem {
public:
    explicit FaultyFileSystem(QString folder) : folder_(std::move(folder)) {}

    std::vector<std::string> points;
    int failAt = -1;
    Fault fault = Fault::NoSpace;

    int open(const char* path, int flags, mode_t mode) override
    {
        if (((flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE) && hit("open", path))
            return failed();
        return FileSystem::open(path, flags, mode);
    }
    ssize_t write(int fd, const void* bytes, size_t size) override
    {
        if (auto s = shortened(); s.has_value())
            return *s;
        if (hit("write", fd))
            return failedWrite([&](size_t half) { return FileSystem::write(fd, bytes, half); }, size);
        return FileSystem::write(fd, bytes, size);
    }
    ssize_t pwrite(int fd, const void* bytes, size_t size, off_t offset) override
    {
        if (auto s = shortened(); s.has_value())
            return *s;
        if (hit("pwrite", fd))
            return failedWrite([&](size_t half) { return FileSystem::pwrite(fd, bytes, half, offset); }, size);
        return FileSystem::pwrite(fd, bytes, size, offset);
    }
    int ftruncate(int fd, off_t length) override
    {
        return hit("ftruncate", fd) ? failed() : FileSystem::ftruncate(fd, length);
    }
    int fdatasync(int fd) override { return hit("fdatasync", fd) ? failed() : FileSystem::fdatasync(fd); }
    int fsync(int fd) override { return hit("fsync", fd) ? failed() : FileSystem::fsync(fd); }
    int fchmod(int fd, mode_t mode) override { return hit("fchmod", fd) ? failed() : FileSystem::fchmod(fd, mode); }
    int linkOpenFile(int fd, const char* to) override
    {
        return hit("link", to) ? failed() : FileSystem::linkOpenFile(fd, to);
    }
    int link(const char* from, const char* to) override
    {
        return hit("link", to) ? failed() : FileSystem::link(from, to);
    }
    int rename(const char* from, const char* to) override
    {
        return hit("rename", from) ? failed() : FileSystem::rename(from, to);
    }
    int renameNoReplace(const char* from, const char* to) override
    {
        return hit("rename", from) ? failed() : FileSystem::renameNoReplace(from, to);
    }
    int remove(const char* path) override { return hit("remove", path) ? failed() : FileSystem::remove(path); }

private:
    // A scratch file of a write's own by what it is, not by its name of the moment.
    std::string nameOf(const char* path) const
    {
        static const QRegularExpression unnamed(QStringLiteral("^#[0-9]+ \\(deleted\\)$"));
        static const QRegularExpression fresh(QStringLiteral("\\.partial-[A-Za-z0-9]{6}$"));
        const QString p = QFileInfo(QFile::decodeName(path)).absoluteFilePath();
        if (p == QFileInfo(folder_).absoluteFilePath())
            return "folder";
        const QString name = QFileInfo(p).fileName();
        if (unnamed.match(name).hasMatch())
            return "unnamed";
        return QString(name).replace(fresh, QStringLiteral(".partial-*")).toStdString();
    }
    // A handle by the file it is open on, wherever it was opened.
    bool hit(const char* call, int fd)
    {
        char target[4096] = {};
        const std::string link = "/proc/self/fd/" + std::to_string(fd);
        const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
        return hit(call, length > 0 ? nameOf(target) : std::string("?"));
    }
    bool hit(const char* call, const char* path) { return hit(call, nameOf(path)); }
    bool hit(const char* call, const std::string& name)
    {
        points.push_back(std::string(call) + ' ' + name);
        if (int(points.size()) - 1 != failAt)
            return false;
        if (fault == Fault::Crash)
            ::_exit(kCrashed);
        return true;
    }
    int failed()
    {
        errno = errnoOf(fault);
        return -1;
    }
    // A short write puts half the bytes down and reports them; the call that goes on with the rest
    // finds the disk full.
    template <typename Put>
    ssize_t failedWrite(Put put, size_t size)
    {
        if (fault != Fault::ShortWrite || size < 2)
            return failed();
        diskFullNext_ = true;
        return put(size / 2);
    }
    std::optional<ssize_t> shortened()
    {
        if (!diskFullNext_)
            return std::nullopt;
        diskFullNext_ = false;
        errno = ENOSPC;
        return -1;
    }

    QString folder_;
    bool diskFullNext_ = false;
};

class FileSystemInPlace final {
public:
    explicit FileSystemInPlace(FileSystem& calls) : previous_(replaceFileSystem(&calls)) {}
    ~FileSystemInPlace() { replaceFileSystem(previous_); }

private:
    FileSystem* previous_;
};

// A contact whose fields run from the start of the record to its end, so that a record written
// in part differs from both the old one and the new.
ContactRecord contact(const char* first)
{
    ContactRecord r;
    r.Company = QString::fromLatin1(first) + QStringLiteral(" Co");
    r.FirstName = QString::fromLatin1(first);
    r.LastName = QStringLiteral("Lee");
    r.City = QStringLiteral("Reno");
    r.Email = QString::fromLatin1(first).toLower() + QStringLiteral("@mail.com");
    r.Birthdate = QStringLiteral("19800410");
    r.IncludeCompany = QStringLiteral("0");
    r.BirthdayReminders = QStringLiteral("1");
    return r;
}

QByteArray records(std::initializer_list<const char*> names)
{
    QByteArray bytes;
    for (const char* name : names)
        bytes += contact(name).encode();
    return bytes;
}

const QByteArray kBefore = records({"Ann", "Bob", "Cy"});
constexpr char kParameters[] = "ONTHEFLY  0   0 \r\nENVELOPE  0   0 \r\n";

// One operation on a folder holding the contacts file c.DAT (Ann, Bob, Cy) and a parameter file.
struct Operation {
    const char* name;
    // Every point the operation passes when nothing fails, in order. A write point added to the
    // code shows here first, and must be listed (and so covered) for this test to pass.
    std::vector<std::string> points;
    std::function<void(TestFolder&)> prepare;  // files beyond the common ones
    std::function<std::optional<FileError>(TestFolder&, ContactsFile&)> run;
    // The contacts file as it may be found after the operation, done or not done.
    std::vector<QByteArray> outcomes = {kBefore};
    // Other checks of the files the operation wrote.
    std::function<void(TestFolder&)> check = [](TestFolder&) {};
};

std::optional<FileError> errorOf(const Status& s)
{
    return s ? std::nullopt : std::optional(s.error());
}

// A refused write opens the file read-only, which the user is shown: reported, not swallowed.
std::optional<FileError> openingError(const Expected<ContactsOpenResult>& opened)
{
    if (!opened)
        return opened.error();
    return opened->readOnly ? std::optional(FileError::fromErrno(EACCES)) : std::nullopt;
}

// The records with their reminders off, every one.
QByteArray remindersOff(QByteArray bytes)
{
    for (qsizetype at = 515; at < bytes.size(); at += ContactRecord::kSize)
        bytes[at] = '0';
    return bytes;
}

QByteArray importCsv()
{
    return "First Name,MI,Last Name,Street1,Street2,City,State,Zip,Country,Company,Include Company in Address,"
           "Home Phone,Cell Phone,Work Phone,Email,Birthdate,Category,Notes\r\n"
           "Dee,,Lee,,,Reno,,,,,0,,,,dee@mail.com,,,\r\n"
           "Eve,,Lee,,,Reno,,,,,0,,,,eve@mail.com,,,\r\n"
           "Fay,,Lee,,,Reno,,,,,0,,,,fay@mail.com,,,\r\n";
}

QByteArray importedRecord(const char* first)
{
    ContactRecord r = contact(first);
    r.Birthdate.clear();
    r.Company.clear();
    return r.encode();
}

// The smallest PDF with a catalog and a trailer, as a PDF writer ends one.
constexpr char kPdf[] = "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
                        "2 0 obj\n<< /Type /Pages /Kids [] /Count 0 >>\nendobj\n"
                        "xref\n0 3\n0000000000 65535 f \n0000000009 00000 n \n0000000058 00000 n \n"
                        "trailer\n<< /Size 3 /Root 1 0 R >>\nstartxref\n110\n%%EOF\n";

QByteArray deliveredParameters()
{
    loadBuiltInResources();
    QFile delivered(QStringLiteral(":/delivered/") + QString::fromLatin1(kParameterFileName));
    return delivered.open(QIODevice::ReadOnly) ? delivered.readAll() : QByteArray();
}

std::vector<Operation> operations()
{
    const QByteArray marked = [] {
        QByteArray bytes = kBefore;
        bytes.replace(518, 14, QByteArray("*DELETED*").leftJustified(14, ' '));
        return bytes;
    }();
    const QByteArray dee = importedRecord("Dee"), eve = importedRecord("Eve"), fay = importedRecord("Fay");
    const QByteArray exported = "earlier export\r\n";
    return {
        {"append", {"pwrite c.DAT", "fdatasync c.DAT"}, {},
         [](TestFolder&, ContactsFile& f) {
             const ContactRecord two[] = {contact("Dee"), contact("Eve")};
             return errorOf(f.append(two));
         },
         {kBefore, kBefore + records({"Dee", "Eve"})}},
        {"overwrite", {"pwrite c.DAT", "fdatasync c.DAT"}, {},
         [](TestFolder&, ContactsFile& f) { return errorOf(f.overwrite(2, contact("Zed"))); },
         {kBefore, records({"Ann", "Zed", "Cy"})}},
        {"remove",
         {"open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed", "link c.DAT.Tempf.record.partial-*",
          "rename c.DAT.Tempf.record.partial-*", "fsync folder", "pwrite c.DAT", "fdatasync c.DAT",
          "remove c.DAT.Tempf", "open c.DAT.Tempf", "write c.DAT.Tempf", "write c.DAT.Tempf", "fdatasync c.DAT.Tempf",
          "fchmod c.DAT.Tempf", "rename c.DAT.Tempf", "fsync folder", "remove c.DAT.Tempf.record"},
         {},
         [](TestFolder&, ContactsFile& f) { return errorOf(f.remove(2)); },
         {kBefore, records({"Ann", "Cy"})}},
        {"reminders off",
         {"open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed", "link c.DAT.partial-*",
          "rename c.DAT.partial-*", "fsync folder"},
         {},
         [](TestFolder&, ContactsFile& f) { return errorOf(f.setBirthdayReminders(false)); },
         {kBefore, remindersOff(kBefore)}},
        {"import",
         {"open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed", "link c.DAT.Tempf.append.partial-*",
          "rename c.DAT.Tempf.append.partial-*", "fsync folder", "pwrite c.DAT", "fdatasync c.DAT", "pwrite c.DAT",
          "fdatasync c.DAT", "open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed",
          "link c.DAT.lastimport.partial-*", "rename c.DAT.lastimport.partial-*", "fsync folder",
          "remove c.DAT.Tempf.append", "fsync folder"},
         {},
         [](TestFolder&, ContactsFile& f) -> std::optional<FileError> {
             QBuffer csv;
             csv.setData(importCsv());
             csv.open(QIODevice::ReadOnly);
             const ImportResult result = importContacts(csv, f, {.remindersOn = true, .batchSize = 2});
             if (result.end != ImportResult::End::Failed)
                 return std::nullopt;
             // What the user is told stored must be what the file holds.
             EXPECT_EQ(f.recordCount().value(), 3 + result.imported);
             return importFailure(result);
         },
         {kBefore, kBefore + dee + eve + fay}},
        {"marking a PDF to print at actual size",
         {"open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed", "link x.pdf.partial-*",
          "rename x.pdf.partial-*", "fsync folder"},
         [](TestFolder& folder) { folder.write(QStringLiteral("x.pdf"), kPdf); },
         [](TestFolder& folder, ContactsFile&) { return errorOf(declareActualSize(folder.file(QStringLiteral("x.pdf")))); },
         {kBefore},
         [](TestFolder& folder) {
             // The PDF as it was, or whole with the marking appended: never a PDF cut short.
             const QByteArray after = folder.read(QStringLiteral("x.pdf"));
             EXPECT_TRUE(after == kPdf || (after.startsWith(kPdf) && after.contains("/PrintScaling /None")
                                          && after.endsWith("%%EOF\n")))
                 << after.data();
         }},
        {"margin adjustment", {"pwrite PWKPARAM.TXT", "fdatasync PWKPARAM.TXT"}, {},
         [](TestFolder& folder, ContactsFile&) -> std::optional<FileError> {
             auto r = adjustMargins(folder.file(QStringLiteral("PWKPARAM.TXT")), MarginKind::Envelope, 2, -1);
             return r ? std::nullopt : std::optional(r.error());
         },
         {kBefore},
         [](TestFolder& folder) {
             const QByteArray after = folder.read(QStringLiteral("PWKPARAM.TXT"));
             EXPECT_TRUE(after == kParameters || after == "ONTHEFLY  0   0 \r\nENVELOPE 2   -1 \r\n") << after.data();
             EXPECT_TRUE(readMarginSettings(folder.file(QStringLiteral("PWKPARAM.TXT"))));
         }},
        {"export",
         {"open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed", "link PWKC_c.csv.partial-*",
          "rename PWKC_c.csv.partial-*", "fsync folder"},
         [exported](TestFolder& folder) { folder.write(QStringLiteral("PWKC_c.csv"), exported); },
         [](TestFolder& folder, ContactsFile& f) {
             return writeExportFile(f, ExportFormat::Csv, folder.file(QStringLiteral("PWKC_c.csv"))).error;
         },
         {kBefore},
         [exported](TestFolder& folder) {
             const QByteArray after = folder.read(QStringLiteral("PWKC_c.csv"));
             EXPECT_TRUE(after == exported || (after.startsWith(exportHeaderLine(ExportFormat::Csv))
                                               && after.count("\r\n") == 4))
                 << after.data();
         }},
        {"first-start delivery",
         {"open folder", "write unnamed", "fdatasync unnamed", "link PWKPARAM.TXT.partial-*",
          "rename PWKPARAM.TXT.partial-*", "fsync folder"},
         [](TestFolder& folder) { QFile::remove(folder.file(QStringLiteral("PWKPARAM.TXT"))); },
         [](TestFolder& folder, ContactsFile&) { return errorOf(deliverFile(folder.path(), kParameterFileName)); },
         {kBefore},
         [](TestFolder& folder) {
             // Never a half-written parameter file: the delivered one, or none to be delivered next time.
             const QString path = folder.file(QStringLiteral("PWKPARAM.TXT"));
             if (QFileInfo::exists(path))
                 EXPECT_EQ(folder.read(QStringLiteral("PWKPARAM.TXT")), deliveredParameters());
         }},
        {"opening a file cut short",
         {"open folder", "write unnamed", "fdatasync unnamed", "fchmod unnamed", "link c.DAT.fragment", "fsync folder",
          "ftruncate c.DAT", "fdatasync c.DAT"},
         [](TestFolder& folder) { folder.write(QStringLiteral("c.DAT"), kBefore + kBefore.left(300)); },
         [](TestFolder& folder, ContactsFile& f) -> std::optional<FileError> {
             return openingError(f.open(folder.file(QStringLiteral("c.DAT"))));
         }},
        {"opening a file whose removal was cut short",
         {"remove c.DAT.Tempf", "open c.DAT.Tempf", "write c.DAT.Tempf", "write c.DAT.Tempf", "fdatasync c.DAT.Tempf",
          "fchmod c.DAT.Tempf", "rename c.DAT.Tempf", "fsync folder", "remove c.DAT.Tempf.record"},
         [marked](TestFolder& folder) {
             folder.write(QStringLiteral("c.DAT"), marked);
             folder.write(QStringLiteral("c.DAT.Tempf.record"), "2 3\r\n");
         },
         [](TestFolder& folder, ContactsFile& f) -> std::optional<FileError> {
             return openingError(f.open(folder.file(QStringLiteral("c.DAT"))));
         },
         {records({"Ann", "Cy"})}},
        {"opening a file whose import was cut short",
         {"ftruncate c.DAT", "fdatasync c.DAT", "remove c.DAT.Tempf.append", "fsync folder"},
         [dee](TestFolder& folder) {
             // An import that the process ended in the middle of a write.
             ContactsFile importing;
             EXPECT_TRUE(importing.open(folder.file(QStringLiteral("c.DAT"))) && importing.beginAppends()
                         && importing.append(ContactRecord::decode(dee)));
             importing.close();
             QFile file(folder.file(QStringLiteral("c.DAT")));
             EXPECT_TRUE(file.open(QIODevice::Append) && file.write(dee.left(100)) == 100);
         },
         [](TestFolder& folder, ContactsFile& f) -> std::optional<FileError> {
             auto r = f.open(folder.file(QStringLiteral("c.DAT")));
             if (auto error = openingError(r))
                 return error;
             EXPECT_EQ(r->message.value_or(Message{}).title, QStringLiteral("Contacts file repaired"));
             return std::nullopt;
         }},
    };
}

// The folder before the operation: c.DAT opened (unless the operation is the opening) and the
// parameter file.
struct Scene {
    TestFolder folder;
    ContactsFile contacts;
    explicit Scene(const Operation& op)
    {
        folder.write(QStringLiteral("c.DAT"), kBefore);
        folder.write(QStringLiteral("PWKPARAM.TXT"), kParameters);
        if (op.prepare)
            op.prepare(folder);
        if (!QByteArrayView(op.name).startsWith("opening"))
            EXPECT_TRUE(contacts.open(folder.file(QStringLiteral("c.DAT"))));
    }
};

// What the next start finds: the contacts file opens, holds one of the operation's outcomes and
// nothing of an unfinished removal or import is left beside it.
void expectRecoverable(const Operation& op, Scene& scene)
{
    const QString path = scene.folder.file(QStringLiteral("c.DAT"));
    scene.contacts.close();
    ContactsFile reopened;
    auto opened = reopened.open(path);
    ASSERT_TRUE(opened);
    ASSERT_TRUE(opened->opened());
    const QByteArray after = scene.folder.read(QStringLiteral("c.DAT"));
    EXPECT_TRUE(std::find(op.outcomes.begin(), op.outcomes.end(), after) != op.outcomes.end())
        << after.size() << " bytes: " << reopened.recordCount().value_or(-1) << " records";
    EXPECT_FALSE(QFileInfo::exists(ContactsFile::scratchPathFor(path)));
    EXPECT_FALSE(QFileInfo::exists(ContactsFile::removalNotePathFor(path)));
    EXPECT_FALSE(QFileInfo::exists(ContactsFile::appendNotePathFor(path)));
    EXPECT_EQ(QDir(scene.folder.path()).entryList({QStringLiteral("c.DAT*partial*")}, QDir::Files), QStringList());
    op.check(scene.folder);
}

TEST(WriteFaults, EveryWritePointOfEveryOperationIsKnown)
{
    for (const Operation& op : operations()) {
        Scene scene(op);
        FaultyFileSystem calls(scene.folder.path());
        {
            FileSystemInPlace inPlace(calls);
            EXPECT_FALSE(op.run(scene.folder, scene.contacts)) << op.name;
        }
        EXPECT_EQ(calls.points, op.points) << op.name << ": a write point that is new here needs its faults covered";
        expectRecoverable(op, scene);
    }
}

TEST(WriteFaults, AFailureAtAnyPointIsReportedAndLosesNoContact)
{
    for (const Operation& op : operations()) {
        for (int point = 0; point < int(op.points.size()); ++point) {
            for (Fault fault : {Fault::ShortWrite, Fault::NoSpace, Fault::IoError, Fault::Denied}) {
                const bool writes = op.points[point].starts_with("write") || op.points[point].starts_with("pwrite");
                if (fault == Fault::ShortWrite && !writes)
                    continue;
                SCOPED_TRACE(testing::Message() << op.name << " at " << op.points[point] << " (#" << point
                                                << "), fault " << int(fault));
                Scene scene(op);
                FaultyFileSystem calls(scene.folder.path());
                calls.failAt = point;
                calls.fault = fault;
                std::optional<FileError> error;
                {
                    FileSystemInPlace inPlace(calls);
                    error = op.run(scene.folder, scene.contacts);
                }
                ASSERT_TRUE(error) << "a failure reported as success";
                EXPECT_EQ(error->number, errnoOf(fault));
                EXPECT_TRUE(error->description.startsWith(QString::fromLocal8Bit(std::strerror(errnoOf(fault)))))
                    << error->description.toStdString();
                expectRecoverable(op, scene);
            }
        }
    }
}

// The process killed at each point, as a power cut or a kill would; the next start opens the file.
TEST(WriteFaults, AProcessKilledAtAnyPointLosesNoContact)
{
    for (const Operation& op : operations()) {
        for (int point = 0; point < int(op.points.size()); ++point) {
            SCOPED_TRACE(testing::Message() << op.name << " killed at " << op.points[point] << " (#" << point << ")");
            Scene scene(op);
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                FaultyFileSystem calls(scene.folder.path());
                calls.failAt = point;
                calls.fault = Fault::Crash;
                replaceFileSystem(&calls);
                (void)op.run(scene.folder, scene.contacts);
                ::_exit(0);
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFEXITED(status));
            EXPECT_EQ(WEXITSTATUS(status), kCrashed);
            expectRecoverable(op, scene);
        }
    }
}

}  // namespace
}  // namespace pw
