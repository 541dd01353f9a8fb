#include "data/file_lock.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace pw {
namespace {

// The program that holds the lock on the file open on `fd`, by the system's table of locks.
QString holderOf(int fd)
{
    struct stat st {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::fstat(fd, &st) != 0 || !locks.open(QIODevice::ReadOnly))
        return QStringLiteral("another program");
    // "1: FLOCK  ADVISORY  WRITE 1234 fd:01:5678 0 EOF": the process and the file's device:inode.
    const QByteArray inode = ':' + QByteArray::number(quint64(st.st_ino));
    for (const QByteArray& line : locks.readAll().split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        if (words.size() < 6 || words[1] != "FLOCK" || !words[5].endsWith(inode) || words[4].toInt() == ::getpid())
            continue;
        QFile name(QStringLiteral("/proc/%1/comm").arg(QString::fromLatin1(words[4])));
        if (name.open(QIODevice::ReadOnly))
            return QStringLiteral("%1 (process %2)").arg(QString::fromLocal8Bit(name.readAll().trimmed()),
                                                         QString::fromLatin1(words[4]));
    }
    return QStringLiteral("another program");
}

}  // namespace

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
    std::swap(wait_, other.wait_);
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
    const auto start = std::chrono::steady_clock::now();
    QString holder;
    while (::flock(fd_, operation) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return std::unexpected(FileError::fromErrno(errno));
        if (holder.isEmpty())
            holder = holderOf(fd_);
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        if (waited >= patience_ || (wait_ && !wait_(holder, waited))) {
            if (wait_)
                (void)wait_(holder, std::chrono::milliseconds(-1));
            // Given up by the one waiting, or after the patience.
            const QString inUse = QStringLiteral("The file is in use by %1").arg(holder);
            return std::unexpected(FileError{
                kErrFileInUse, waited < patience_ ? inUse
                                                  : inUse + QStringLiteral(", which did not finish with it in %1 seconds")
                                                                .arg(waited.count() / 1000)});
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    if (wait_ && !holder.isEmpty())
        (void)wait_(holder, std::chrono::milliseconds(-1));
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
