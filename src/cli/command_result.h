#pragma once

#include <QString>

#include <expected>

namespace pw {

inline constexpr int kFailedStatus = 1;
inline constexpr int kUsageStatus = 2;

// Why a command stopped: its one-line error and the exit status.
struct CommandFailure final {
    QString text;
    int status = kFailedStatus;
};

template <typename T>
using Result = std::expected<T, CommandFailure>;

// The work could not be done: a file, the printer, the contacts.
inline CommandFailure failed(QString text)
{
    return {std::move(text), kFailedStatus};
}

// The command line asks for something the command does not take.
inline CommandFailure usage(QString text)
{
    return {std::move(text), kUsageStatus};
}

}  // namespace pw
