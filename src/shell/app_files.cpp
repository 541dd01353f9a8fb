#include "shell/app_files.h"

#include "platform/platform.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>

static void initDeliveredResources()
{
    Q_INIT_RESOURCE(postwick);
}

namespace pw {
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
    if (!QDir().mkpath(folder))
        return std::unexpected(FileError::fromErrno(errno ? errno : EACCES));
    const QString parameterFile = QDir(folder).filePath(QString::fromLatin1(kParameterFileName));
    // An empty file holds no margins at all (a user may have emptied it to reset them), so it is
    // restored like a missing one; every adjustment would otherwise have nothing to change.
    if (const QFileInfo existing(parameterFile); existing.exists() && existing.size() > 0)
        return {};
    initDeliveredResources();
    QFile delivered(QStringLiteral(":/delivered/PWKPARAM.TXT"));
    if (!delivered.open(QIODevice::ReadOnly))
        return std::unexpected(FileError{ENOENT, delivered.errorString()});
    const QByteArray bytes = delivered.readAll();
    QFile copy(parameterFile);
    errno = 0;
    if (!copy.open(QIODevice::WriteOnly | QIODevice::Truncate) || copy.write(bytes) != bytes.size() || !copy.flush())
        return std::unexpected(FileError::fromErrno(errno ? errno : EIO));
    return {};
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
    if (!QFileInfo(path).isFile()) {
        platform.message({QStringLiteral("The file %1 was not found in %2, so it cannot be opened.")
                              .arg(QString::fromLatin1(fileName), QDir::toNativeSeparators(platform.applicationFolder())),
                          QStringLiteral("File not found"), MessageIcon::Warning});
        return;
    }
    platform.openDocument(path);
}

}  // namespace pw
