#pragma once

#include "data/file_error.h"

#include <QString>

#include <chrono>
#include <functional>

namespace pw {

// An advisory lock that programs sharing a file take on an empty file beside it. The lock file is
// never written or renamed, so that a rename of the shared file cannot take the lock away with it.
// Takes nest: an inner take inside an outer one of the same kind or stronger changes nothing.
class FileLock final {
public:
    enum class Kind { Shared, Exclusive };

    FileLock() = default;
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    // Opens the lock file, creating it empty, read-write (which locks over a network need). A
    // failure, or a file system without locks, leaves the lock unavailable: takes then do nothing.
    Status open(const QString& lockPath);
    void close();
    bool available() const { return fd_ >= 0; }
    void swap(FileLock& other) noexcept;

    // Asked again and again while a take waits, with the program that holds the lock ("another
    // program" when the system does not say) and how long the take has waited; false gives up.
    // Once the wait is over, taken or not, it is told so with a `waited` below zero.
    using Wait = std::function<bool(const QString& holder, std::chrono::milliseconds waited)>;

    // Waits up to the patience for other programs to let go, unless the wait gives up first; then
    // fails with kErrFileInUse, naming the program that holds the lock.
    Status take(Kind kind);
    void release();
    bool held() const { return depth_ > 0; }
    void setPatience(std::chrono::milliseconds patience) { patience_ = patience; }
    void setWait(Wait wait) { wait_ = std::move(wait); }
    // The patience and the wait of `other`, for the lock of a file that takes its place.
    void waitLike(const FileLock& other)
    {
        patience_ = other.patience_;
        wait_ = other.wait_;
    }

private:
    int fd_ = -1;
    int depth_ = 0;
    Kind kind_ = Kind::Shared;
    std::chrono::milliseconds patience_ = std::chrono::seconds(30);
    Wait wait_;
};

// Holds a take for a scope.
class LockHold final {
public:
    LockHold(FileLock& lock, FileLock::Kind kind) : lock_(lock), status_(lock.take(kind)) {}
    ~LockHold() { release(); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;
    const Status& status() const { return status_; }
    void release()
    {
        if (status_ && !released_)
            lock_.release();
        released_ = true;
    }

private:
    FileLock& lock_;
    Status status_;
    bool released_ = false;
};

}  // namespace pw
