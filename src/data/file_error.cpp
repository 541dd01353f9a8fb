#include "data/file_error.h"

#include <cerrno>
#include <cstring>

namespace pw {

FileError FileError::fromErrno(int errnoValue)
{
    return {errnoValue, QString::fromLocal8Bit(std::strerror(errnoValue))};
}

FileError badRecordNumber()
{
    return {kErrBadRecordNumber, QStringLiteral("Bad record number")};
}

FileError notARegularFile()
{
    return {ENODEV, QStringLiteral("Not a regular file: a device, a pipe or a socket")};
}

FileError fileNotOpen()
{
    return {kErrBadFileNumber, QStringLiteral("Bad file name or number")};
}

}  // namespace pw
