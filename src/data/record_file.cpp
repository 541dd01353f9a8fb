#include "data/record_file.h"

#include "data/file_system.h"
#include "data/text_rules.h"

#include <QFile>

#include <cerrno>
#include <utility>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pw {

RecordFile::~RecordFile()
{
    close();
}

Status RecordFile::open(const QString& path, Mode mode)
{
    close();
    const QByteArray name = QFile::encodeName(path);
    // Never waits on a pipe that nobody writes: what is not a regular file is refused below.
    const int flags = (mode == Mode::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC | O_NONBLOCK;
    int fd = fileSystem().open(name.constData(), flags, 0);
    created_ = false;
    if (fd < 0 && errno == ENOENT && mode == Mode::ReadWrite) {
        // Made here, and private whatever the umask: it is to hold people's addresses.
        fd = fileSystem().open(name.constData(), flags | O_CREAT | O_EXCL | O_NOFOLLOW, 0600);
        created_ = fd >= 0;
        if (created_ && fileSystem().fchmod(fd, 0600) != 0) {
            const int error = errno;
            ::close(fd);
            return std::unexpected(FileError::fromErrno(error));
        }
    }
    if (fd < 0)
        return std::unexpected(FileError::fromErrno(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = errno;
        ::close(fd);
        if (S_ISDIR(st.st_mode))
            return std::unexpected(FileError::fromErrno(EISDIR));
        return std::unexpected(st.st_mode != 0 ? notARegularFile() : FileError::fromErrno(error));
    }
    fd_ = fd;
    path_ = path;
    return {};
}

void RecordFile::swap(RecordFile& other) noexcept
{
    std::swap(recordSize_, other.recordSize_);
    std::swap(fd_, other.fd_);
    std::swap(created_, other.created_);
    path_.swap(other.path_);
}

bool RecordFile::stillAtPath() const
{
    struct stat open {}, named {};
    if (fd_ < 0 || ::fstat(fd_, &open) != 0 || ::stat(QFile::encodeName(path_).constData(), &named) != 0)
        return false;
    return open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}

void RecordFile::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    path_.clear();
}

Expected<qint64> RecordFile::size() const
{
    if (fd_ < 0)
        return std::unexpected(fileNotOpen());
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        return std::unexpected(FileError::fromErrno(errno));
    return static_cast<qint64>(st.st_size);
}

Expected<FileIdentity> RecordFile::identity() const
{
    struct stat st {};
    if (fd_ < 0)
        return std::unexpected(fileNotOpen());
    if (::fstat(fd_, &st) != 0)
        return std::unexpected(FileError::fromErrno(errno));
    return FileIdentity{quint64(st.st_dev), quint64(st.st_ino)};
}

std::optional<unsigned> RecordFile::permissions() const
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0)
        return std::nullopt;
    return unsigned(st.st_mode & 0777);
}

bool RecordFile::hasGaps() const
{
    auto length = size();
    if (!length || *length == 0)
        return false;
    const off_t hole = ::lseek(fd_, 0, SEEK_HOLE);
    return hole >= 0 && hole < *length;
}

Expected<int> RecordFile::count() const
{
    auto bytes = size();
    if (!bytes)
        return std::unexpected(bytes.error());
    return static_cast<int>(roundHalfEven(static_cast<double>(*bytes) / recordSize_));
}

Expected<QByteArray> RecordFile::readAt(qint64 offset, qint64 length) const
{
    QByteArray buffer;
    if (auto s = readInto(offset, length, buffer); !s)
        return std::unexpected(s.error());
    return buffer;
}

Status RecordFile::readInto(qint64 offset, qint64 length, QByteArray& buffer) const
{
    if (fd_ < 0)
        return std::unexpected(fileNotOpen());
    buffer.resize(length);
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd_, buffer.data() + done, length - done, offset + done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::unexpected(FileError::fromErrno(errno));
        }
        if (got == 0)
            break;
        done += got;
    }
    buffer.resize(done);
    return {};
}

Status RecordFile::writeAt(qint64 offset, QByteArrayView bytes)
{
    if (fd_ < 0)
        return std::unexpected(fileNotOpen());
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t put = fileSystem().pwrite(fd_, bytes.data() + done, bytes.size() - done, offset + done);
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return std::unexpected(FileError::fromErrno(errno));
        }
        done += put;
    }
    return {};
}

Expected<QByteArray> RecordFile::readRecord(int n) const
{
    auto total = count();
    if (!total)
        return std::unexpected(total.error());
    if (n < 1 || n > *total)
        return std::unexpected(badRecordNumber());
    auto bytes = readAt(qint64(n - 1) * recordSize_, recordSize_);
    if (!bytes)
        return bytes;
    return bytes->leftJustified(recordSize_, ' ');
}

Status RecordFile::writeRecord(int n, QByteArrayView bytes)
{
    if (n < 1)
        return std::unexpected(badRecordNumber());
    return writeAt(qint64(n - 1) * recordSize_, bytes);
}

Status RecordFile::truncate(qint64 length)
{
    if (fd_ < 0)
        return std::unexpected(fileNotOpen());
    if (fileSystem().ftruncate(fd_, length) != 0)
        return std::unexpected(FileError::fromErrno(errno));
    return {};
}

Status RecordFile::sync()
{
    if (fd_ < 0)
        return std::unexpected(fileNotOpen());
    if (fileSystem().fdatasync(fd_) != 0)
        return std::unexpected(FileError::fromErrno(errno));
    return {};
}

Status syncDirectory(const QString& dir)
{
    const int fd = fileSystem().open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (fd < 0)
        return std::unexpected(FileError::fromErrno(errno));
    const int rc = fileSystem().fsync(fd);
    const int err = errno;
    ::close(fd);
    if (rc != 0)
        return std::unexpected(FileError::fromErrno(err));
    return {};
}

}  // namespace pw
