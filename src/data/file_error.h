#pragma once

#include <QString>

#include <expected>

namespace pw {

// A failure that reaches the standard error prompt: the system's error number and its description.
struct FileError final {
    int number = 0;
    QString description;

    // The failure of the last system call, from errno.
    static FileError fromErrno(int errnoValue);
    bool operator==(const FileError&) const = default;
};

// Numbers for failures that are not a system call's.
inline constexpr int kErrBadFileNumber = 52;   // no contacts file is open
inline constexpr int kErrBadRecordNumber = 63; // a record number outside 1 to the record count
inline constexpr int kErrInterrupted = 4;      // an operation stopped on purpose (tests only)
inline constexpr int kErrTypeMismatch = 13;    // stored text that should be a number is not one
inline constexpr int kErrFileInUse = 75;       // another program holds the file's lock too long

FileError badRecordNumber();
// A pipe, a device or a socket where a file of records was expected.
FileError notARegularFile();
FileError fileNotOpen();

template <typename T>
using Expected = std::expected<T, FileError>;
using Status = std::expected<void, FileError>;

}  // namespace pw
