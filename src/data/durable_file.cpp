#include "data/durable_file.h"

#include "data/file_system.h"
#include "data/record_file.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>

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
    ~DescriptorDevice() override { ::close(fd_); }

    int descriptor() const { return fd_; }

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

// Fills, syncs and gives the scratch file the permissions of the file it replaces.
Status writeScratch(const QByteArray& scratch, const QByteArray& target,
                    const std::function<Status(QIODevice&)>& fill)
{
    const int fd = fileSystem().open(scratch.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return fromErrno(errno);
    {
        DescriptorDevice out(fd);
        if (auto s = fill(out); !s)
            return s;
        if (fileSystem().fdatasync(out.descriptor()) != 0)
            return fromErrno(errno);
    }
    struct stat replaced {};
    if (::stat(target.constData(), &replaced) == 0
        && fileSystem().chmod(scratch.constData(), replaced.st_mode & 07777) != 0)
        return fromErrno(errno);
    return {};
}

}  // namespace

Status writeFileDurably(const QString& path, const std::function<Status(QIODevice& out)>& fill,
                        const DurableWrite& how)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray scratch = QFile::encodeName(how.scratchPath.isEmpty() ? path + QStringLiteral(".partial")
                                                                          : how.scratchPath);
    const auto proceed = [&](DurableStep step) { return !how.proceed || how.proceed(step); };
    Status s = writeScratch(scratch, target, fill);
    if (s && !proceed(DurableStep::ScratchSynced))
        return std::unexpected(stoppedOnPurpose());
    // A name that must be new is checked last, just before it is taken.
    if (s && !how.replace && QFileInfo::exists(path))
        s = fromErrno(EEXIST);
    if (s && fileSystem().rename(scratch.constData(), target.constData()) != 0)
        s = fromErrno(errno);
    if (!s) {
        if (s.error().number != kErrInterrupted)
            (void)fileSystem().remove(scratch.constData());
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

Status writeAll(QIODevice& out, QByteArrayView bytes)
{
    errno = 0;
    if (out.write(bytes.data(), bytes.size()) != bytes.size())
        return std::unexpected(errno != 0 ? FileError::fromErrno(errno) : FileError{EIO, out.errorString()});
    return {};
}

}  // namespace pw
