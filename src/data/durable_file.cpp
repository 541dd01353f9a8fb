#include "data/durable_file.h"

#include "data/file_system.h"
#include "data/record_file.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QRandomGenerator>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {
namespace {

// Writes through the file-system seam, so that a fault can be put in front of every write.
class DescriptorDevice final : public QIODevice {
public:
    explicit DescriptorDevice(int fd) : fd_(fd) { QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered); }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        qint64 done = 0;
        while (done < size) {
            const ssize_t put = fileSystem().write(fd_, data + done, size_t(size - done));
            if (put < 0 && errno == EINTR)
                continue;
            if (put < 0)
                return done > 0 ? done : -1;
            done += put;
        }
        return done;
    }

private:
    int fd_;
};

FileError stoppedOnPurpose()
{
    return {kErrInterrupted, QStringLiteral("Interrupted")};
}

Status fromErrno(int error)
{
    return std::unexpected(FileError::fromErrno(error));
}

Status moveToNewName(const QByteArray& from, const QByteArray& to);

// The scratch file of one write, open on `fd`: named `path`, or unnamed while `path` is empty.
struct Scratch final {
    int fd = -1;
    QByteArray path;
    bool named() const { return !path.isEmpty(); }
};

// A name beside `target` that no earlier write has used, most likely.
QByteArray freshName(const QByteArray& target)
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QByteArray name = target + ".partial-";
    for (int i = 0; i < 6; ++i)
        name += kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters - 1))];
    return name;
}

constexpr int kNewFile = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
constexpr int kAttempts = 100;

// A file that cannot be made beside the target: the folder is the cause, and the message says so.
FileError cannotMakeIn(const QByteArray& folder, int error)
{
    FileError e = FileError::fromErrno(error);
    if (error == EACCES || error == EPERM)
        e.description += QStringLiteral(" (the folder %1 does not let files be made in it)").arg(QFile::decodeName(folder));
    return e;
}

// A new file of this write's own beside `target`: never one that is there already, nor a link.
Expected<Scratch> openScratch(const QByteArray& target, const QString& named, mode_t mode)
{
    if (!named.isEmpty()) {
        const QByteArray path = QFile::encodeName(named);
        struct stat found {};
        if (::lstat(path.constData(), &found) == 0 && S_ISDIR(found.st_mode))
            return std::unexpected(FileError::fromErrno(EISDIR));
        if (fileSystem().remove(path.constData()) != 0 && errno != ENOENT)
            return std::unexpected(FileError::fromErrno(errno));
        const int fd = fileSystem().open(path.constData(), kNewFile, mode);
        if (fd < 0)
            return std::unexpected(FileError::fromErrno(errno));
        return Scratch{fd, path};
    }
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
    const int fd = fileSystem().open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd >= 0)
        return Scratch{fd, {}};
    // A file system without unnamed files says so in one of these ways.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
        return std::unexpected(cannotMakeIn(folder, errno));
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        const QByteArray path = freshName(target);
        const int named = fileSystem().open(path.constData(), kNewFile, mode);
        if (named >= 0)
            return Scratch{named, path};
        if (errno != EEXIST)
            return std::unexpected(cannotMakeIn(folder, errno));
    }
    return std::unexpected(FileError::fromErrno(EEXIST));
}

// The permissions the new file takes, when there are any to take.
std::optional<mode_t> modeFor(const QByteArray& target, const DurableWrite& how)
{
    if (how.mode)
        return mode_t(*how.mode);
    struct stat replaced {};
    if (::lstat(target.constData(), &replaced) == 0 && S_ISREG(replaced.st_mode))
        return replaced.st_mode & 07777;
    return std::nullopt;
}

// Fills and syncs the scratch file, and gives it its permissions.
Status writeScratch(const Scratch& scratch, std::optional<mode_t> mode, const std::function<Status(QIODevice&)>& fill)
{
    {
        DescriptorDevice out(scratch.fd);
        if (auto s = fill(out); !s)
            return s;
    }
    if (fileSystem().fdatasync(scratch.fd) != 0)
        return fromErrno(errno);
    if (mode && fileSystem().fchmod(scratch.fd, *mode) != 0)
        return fromErrno(errno);
    return {};
}

// Puts the synced scratch file at `target`: over what is there, or only where nothing is.
Status place(const Scratch& scratch, const QByteArray& target, bool replace)
{
    FileSystem& fs = fileSystem();
    if (!scratch.named()) {
        if (!replace)
            return fs.linkOpenFile(scratch.fd, target.constData()) == 0 ? Status{} : fromErrno(errno);
        // A name of its own first, so that the rename replaces the file in one step.
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const QByteArray name = freshName(target);
            if (fs.linkOpenFile(scratch.fd, name.constData()) != 0) {
                if (errno == EEXIST)
                    continue;
                return fromErrno(errno);
            }
            if (fs.rename(name.constData(), target.constData()) == 0)
                return {};
            const int error = errno;
            (void)fs.remove(name.constData());
            return fromErrno(error);
        }
        return fromErrno(EEXIST);
    }
    if (replace)
        return fs.rename(scratch.path.constData(), target.constData()) == 0 ? Status{} : fromErrno(errno);
    return moveToNewName(scratch.path, target);
}

Status moveToNewName(const QByteArray& from, const QByteArray& to)
{
    FileSystem& fs = fileSystem();
    if (fs.renameNoReplace(from.constData(), to.constData()) == 0)
        return {};
    if (errno != EINVAL)
        return fromErrno(errno);
    // A file system that cannot rename without replacing: a link is refused where a name is taken.
    if (fs.link(from.constData(), to.constData()) != 0)
        return fromErrno(errno);
    (void)fs.remove(from.constData());
    return {};
}

}  // namespace

Status writeFileDurably(const QString& path, const std::function<Status(QIODevice& out)>& fill,
                        const DurableWrite& how)
{
    const QByteArray target = QFile::encodeName(QFileInfo(path).absoluteFilePath());
    const std::optional<mode_t> mode = modeFor(target, how);
    const auto proceed = [&](DurableStep step) { return !how.proceed || how.proceed(step); };
    auto scratch = openScratch(target, how.scratchPath, mode ? 0600 : 0666);
    if (!scratch)
        return std::unexpected(scratch.error());
    Status s = writeScratch(*scratch, mode, fill);
    if (s && !proceed(DurableStep::ScratchSynced))
        s = std::unexpected(stoppedOnPurpose());
    if (s)
        s = place(*scratch, target, how.replace);
    ::close(scratch->fd);
    if (!s) {
        // A stop on purpose leaves the files as a crash would.
        if (scratch->named() && s.error().number != kErrInterrupted)
            (void)fileSystem().remove(scratch->path.constData());
        return s;
    }
    if (!proceed(DurableStep::Renamed))
        return std::unexpected(stoppedOnPurpose());
    return syncDirectory(QFileInfo(path).absolutePath());
}

Status writeFileDurably(const QString& path, QByteArrayView bytes, const DurableWrite& how)
{
    return writeFileDurably(path, [&](QIODevice& out) { return writeAll(out, bytes); }, how);
}

Status moveToNewName(const QString& from, const QString& to)
{
    return moveToNewName(QFile::encodeName(from), QFile::encodeName(to));
}

Status writeAll(QIODevice& out, QByteArrayView bytes)
{
    errno = 0;
    if (out.write(bytes.data(), bytes.size()) != bytes.size())
        return std::unexpected(errno != 0 ? FileError::fromErrno(errno) : FileError{EIO, out.errorString()});
    return {};
}

}  // namespace pw
