#include "program/app_files.h"

#include "data/durable_file.h"
#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

static void initDeliveredResources()
{
    Q_INIT_RESOURCE(postwick);
}

namespace pw {

void loadBuiltInResources()
{
    initDeliveredResources();
}

namespace {

void renameIfPresent(const QString& folder, const char* from, const char* to)
{
    const QDir dir(folder);
    if (QFile::exists(dir.filePath(QString::fromLatin1(from))))
        QFile::rename(dir.filePath(QString::fromLatin1(from)), dir.filePath(QString::fromLatin1(to)));
}

}  // namespace

QString fileTitle(const QString& path)
{
    return QFileInfo(path).fileName().remove(QStringLiteral(".DAT"), Qt::CaseSensitive);
}

QString withContactsExtension(const QString& path)
{
    if (!QFileInfo(path).suffix().isEmpty())
        return path;
    return path.endsWith(u'.') ? path + QStringLiteral("DAT") : path + QStringLiteral(".DAT");
}

Status prepareApplicationFolder(const QString& folder)
{
    errno = 0;
    const bool existed = QFileInfo::exists(folder);
    if (!QDir().mkpath(folder))
        return std::unexpected(FileError::fromErrno(errno ? errno : EACCES));
    // It holds the contacts: its owner's alone, whatever the umask.
    if (!existed && ::chmod(QFile::encodeName(folder).constData(), 0700) != 0)
        return std::unexpected(FileError::fromErrno(errno));
    if (auto s = deliverFile(folder, kParameterFileName); !s)
        return s;
    // A document that cannot be delivered is no reason to stop the start-up: opening it tries again.
    (void)deliverFile(folder, kUserManualFileName);
    (void)deliverFile(folder, kStateAbbreviationsFileName);
    return {};
}

Status deliverFile(const QString& folder, const char* fileName)
{
    const QString path = QDir(folder).filePath(QString::fromLatin1(fileName));
    // An empty file is restored like a missing one: an emptied parameter file (a user's way to
    // "reset" the margins) would leave every adjustment nothing to change.
    if (const QFileInfo existing(path); existing.exists() && existing.size() > 0)
        return {};
    initDeliveredResources();
    QFile delivered(QStringLiteral(":/delivered/") + QString::fromLatin1(fileName));
    if (!delivered.open(QIODevice::ReadOnly))
        return std::unexpected(FileError{ENOENT, delivered.errorString()});
    // Written whole, so that a half-written copy never passes for one.
    return writeFileDurably(path, delivered.readAll());
}

void hideUninstallData(const QString& folder)
{
    renameIfPresent(folder, "unins000.DAT", "unins000.DAK");
}

void restoreUninstallData(const QString& folder)
{
    renameIfPresent(folder, "unins000.DAK", "unins000.DAT");
}

QString applicationFile(Platform& platform, const char* fileName)
{
    return QDir(platform.applicationFolder()).filePath(QString::fromLatin1(fileName));
}

void openDeliveredDocument(Platform& platform, const char* fileName)
{
    const QString path = applicationFile(platform, fileName);
    (void)deliverFile(platform.applicationFolder(), fileName);
    if (!QFileInfo(path).isFile()) {
        platform.message({QStringLiteral("The file %1 was not found in %2, so it cannot be opened.")
                              .arg(QString::fromLatin1(fileName), QDir::toNativeSeparators(platform.applicationFolder())),
                          QStringLiteral("File not found"), MessageIcon::Warning});
        return;
    }
    openDocumentOrSay(platform, path);
}

void openDocumentOrSay(Platform& platform, const QString& pathOrUrl)
{
    if (platform.openDocument(pathOrUrl))
        return;
    platform.message({QStringLiteral("%1 could not be opened: this desktop has no program set to open it.")
                          .arg(QDir::toNativeSeparators(pathOrUrl)),
                      QStringLiteral("Cannot open"), MessageIcon::Warning});
}

}  // namespace pw
