#pragma once

#include "data/file_error.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace pw {

// Which file a handle is open on, whatever its name.
struct FileIdentity final {
    quint64 device = 0;
    quint64 inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

// A file of fixed-length records over one open handle: positioned reads and writes with the
// system's own error numbers. The contacts file and the margin file both stand on it.
class RecordFile final {
public:
    explicit RecordFile(int recordSize) : recordSize_(recordSize) {}
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    enum class Mode { ReadWrite, ReadWriteExisting, ReadOnly };

    // ReadWrite creates an absent file empty, private to its owner; the others fail on it with ENOENT.
    // ReadOnly never writes. Anything but a regular file (a folder, a pipe, a device) is refused.
    Status open(const QString& path, Mode mode = Mode::ReadWrite);
    // Whether the last open() made the file.
    bool created() const { return created_; }
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // Exchanges the open handles, so that a file can be checked before it replaces another.
    void swap(RecordFile& other) noexcept;
    const QString& path() const { return path_; }
    // Whether the path still leads to the file this handle is open on (same device and inode);
    // false once another program renamed a new file over it or removed it.
    bool stillAtPath() const;

    Expected<qint64> size() const;
    Expected<FileIdentity> identity() const;
    // The permission bits; none when they cannot be read.
    std::optional<unsigned> permissions() const;
    // Whether some of the file was never written (a sparse file): such a file holds no records there.
    bool hasGaps() const;
    // Length / record size, rounded to the nearest whole number, halves to even.
    Expected<int> count() const;

    // Up to `length` bytes at `offset`; fewer at the end of the file.
    Expected<QByteArray> readAt(qint64 offset, qint64 length) const;
    // The same into a buffer the caller reuses, so that reading a file in chunks allocates once.
    Status readInto(qint64 offset, qint64 length, QByteArray& buffer) const;
    Status writeAt(qint64 offset, QByteArrayView bytes);
    // Record n (1-based): exactly recordSize bytes, a short final record padded with blanks.
    Expected<QByteArray> readRecord(int n) const;
    Status writeRecord(int n, QByteArrayView bytes);
    Status truncate(qint64 length);
    // Flushes written data to the disk.
    Status sync();

private:
    int recordSize_;
    int fd_ = -1;
    bool created_ = false;
    QString path_;
};

// Makes a rename or a new file in `dir` durable.
Status syncDirectory(const QString& dir);

}  // namespace pw
