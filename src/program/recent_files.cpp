#include "program/recent_files.h"

#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

namespace pw {
namespace {

const QString kApp = QStringLiteral("Postwick");
const QString kSection = QStringLiteral("Recent");
const QString kLastKey = QStringLiteral("LastFile");

QString recentKey(int i)
{
    return QStringLiteral("File%1").arg(i + 1);
}

void writeRecent(Platform& platform, const QStringList& files)
{
    for (int i = 0; i < kRecentFileCount; ++i)
        platform.writeSetting(kApp, kSection, recentKey(i), files.value(i));
}

}  // namespace

QStringList recentContactsFiles(Platform& platform)
{
    QStringList files;
    for (int i = 0; i < kRecentFileCount; ++i) {
        const QString file = platform.readSetting(kApp, kSection, recentKey(i));
        if (!file.isEmpty() && !files.contains(file))
            files.append(file);
    }
    return files;
}

void rememberContactsFile(Platform& platform, const QString& path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    QStringList files = recentContactsFiles(platform);
    files.removeAll(absolute);
    files.prepend(absolute);
    writeRecent(platform, files);
}

void forgetContactsFile(Platform& platform, const QString& path)
{
    QStringList files = recentContactsFiles(platform);
    if (files.removeAll(path) > 0)
        writeRecent(platform, files);
}

QString lastContactsFile(Platform& platform)
{
    return platform.readSetting(kApp, kSection, kLastKey);
}

void setLastContactsFile(Platform& platform, const QString& path)
{
    platform.writeSetting(kApp, kSection, kLastKey, path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath());
}

StartFile startContactsFile(Platform& platform, const QString& defaultPath)
{
    const QString last = lastContactsFile(platform);
    if (last.isEmpty())
        return {defaultPath, {}};
    if (QFileInfo(last).isFile())
        return {last, {}};
    return {defaultPath, QStringLiteral("%1, the contacts file open when Postwick last closed, is no longer there, so "
                                        "the default contacts file was opened.")
                             .arg(QDir::toNativeSeparators(last))};
}

}  // namespace pw
