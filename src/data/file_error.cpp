#include "data/file_error.h"

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

FileError fileNotOpen()
{
    return {kErrBadFileNumber, QStringLiteral("Bad file name or number")};
}

}  // namespace pw
