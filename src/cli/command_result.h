#pragma once

#include "data/file_error.h"

#include <QString>

#include <expected>

namespace pw {

inline constexpr int kFailedStatus = 1;
inline constexpr int kUsageStatus = 2;
// The file stayed busy with another program: try again later (EX_TEMPFAIL).
inline constexpr int kBusyStatus = 75;

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

// The texts a window shows in message boxes, made one line for standard error.
inline QString oneLine(const QString& text)
{
    return text.simplified();
}

// A file's failure as a command says it: "path: description".
inline QString described(const QString& path, const FileError& error)
{
    return QStringLiteral("%1: %2").arg(path, error.description);
}

}  // namespace pw
