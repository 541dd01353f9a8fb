#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace pw::fuzz {

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One folder for the whole run (the script points TMPDIR at memory), emptied file by file.
inline const QTemporaryDir& scratchFolder()
{
    static const QTemporaryDir dir;
    return dir;
}

inline QString writeScratch(const char* name, const QByteArray& bytes)
{
    const QString path = scratchFolder().filePath(QString::fromLatin1(name));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        __builtin_trap();  // the harness itself is broken, not the code under test
    return path;
}

// Splits an input at the first occurrence of `separator`: what comes before and what after.
inline std::pair<QByteArray, QByteArray> splitAt(const QByteArray& input, QByteArrayView separator)
{
    const qsizetype at = input.indexOf(separator);
    if (at < 0)
        return {input, {}};
    return {input.left(at), input.mid(at + separator.size())};
}

}  // namespace pw::fuzz
