#include "data/file_lock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace pw {

FileLock::~FileLock()
{
    close();
}

Status FileLock::open(const QString& lockPath)
{
    close();
    // Not through the file-system seam: the lock file holds nothing, and failing to make it only
    // costs the warning, never a contact.
    const int fd = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return std::unexpected(FileError::fromErrno(errno));
    // A probe tells a file system without locks from one where another program holds the lock now.
    if (::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno != EWOULDBLOCK) {
        const int error = errno;
        ::close(fd);
        return std::unexpected(FileError::fromErrno(error));
    }
    ::flock(fd, LOCK_UN);
    fd_ = fd;
    return {};
}

void FileLock::swap(FileLock& other) noexcept
{
    std::swap(fd_, other.fd_);
    std::swap(depth_, other.depth_);
    std::swap(kind_, other.kind_);
    std::swap(patience_, other.patience_);
}

void FileLock::close()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
    depth_ = 0;
}

Status FileLock::take(Kind kind)
{
    if (fd_ < 0)
        return {};
    if (depth_ > 0 && (kind_ == Kind::Exclusive || kind == Kind::Shared)) {
        ++depth_;
        return {};
    }
    const int operation = (kind == Kind::Exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB;
    const auto deadline = std::chrono::steady_clock::now() + patience_;
    while (::flock(fd_, operation) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return std::unexpected(FileError::fromErrno(errno));
        if (std::chrono::steady_clock::now() >= deadline)
            return std::unexpected(FileError{kErrFileInUse, QStringLiteral("File in use by another program")});
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (depth_ == 0 || kind == Kind::Exclusive)
        kind_ = kind;
    ++depth_;
    return {};
}

void FileLock::release()
{
    if (fd_ < 0 || depth_ == 0)
        return;
    if (--depth_ == 0)
        ::flock(fd_, LOCK_UN);
}

}  // namespace pw
