#pragma once

#include <QString>
#include <QStringList>

namespace pw {

class Platform;

// The contacts files used last, kept in the per-user settings so that the next start and File >
// Open Recent find them.
inline constexpr int kRecentFileCount = 8;

// The files opened last, the newest first, at most kRecentFileCount, each once.
QStringList recentContactsFiles(Platform& platform);
// Puts `path` first among the recent files.
void rememberContactsFile(Platform& platform, const QString& path);
// Takes `path` off the recent files (it is gone).
void forgetContactsFile(Platform& platform, const QString& path);

// The file open when the program last ended; empty when none was.
QString lastContactsFile(Platform& platform);
void setLastContactsFile(Platform& platform, const QString& path);

// The file to open at a start without a file named on the command line: the last one while it is
// there, else `defaultPath`, with the one line that says why when the last one is gone.
struct StartFile final {
    QString path;
    QString whyDefault;
};
StartFile startContactsFile(Platform& platform, const QString& defaultPath);

}  // namespace pw
