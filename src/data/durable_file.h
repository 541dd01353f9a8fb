#pragma once

#include "data/file_error.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

class QIODevice;

namespace pw {

// The points of a durable write at which a test may stop it, as if the power went out there.
enum class DurableStep { ScratchSynced, Renamed };

struct DurableWrite final {
    // A scratch file by this name, beside the file, which a crash leaves for the next opening to
    // find: whatever is at the name is removed first, and the scratch file is made anew. Empty: a
    // scratch file of this write's own that no other write can meet (unnamed where the file system
    // allows, else under a fresh name), which a failure removes.
    QString scratchPath;
    // False: a file already at the path is an error (EEXIST) rather than replaced; the check and
    // the taking of the name are one step.
    bool replace = true;
    // The new file's permissions; none: those of the file it replaces, else the usual ones for a
    // new file. Content with permissions of its own is private while it is written.
    std::optional<unsigned> mode;
    // Asked at each step; false stops the write there and leaves the files as a crash would.
    std::function<bool(DurableStep)> proceed;
};

// The one way Postwick writes a whole file. `fill` writes the new content into a scratch file beside
// `path`; the scratch file is synced, takes its permissions, is renamed over `path` (a link at
// `path` is replaced, never followed), and the folder is synced. So whatever happens, `path` holds its old content or all of the
// new, never a part. A failure removes the scratch file and leaves `path` as it was; a stop on
// purpose (kErrInterrupted, the tests' crash) leaves everything as it stands.
Status writeFileDurably(const QString& path, const std::function<Status(QIODevice& out)>& fill,
                        const DurableWrite& how = {});
Status writeFileDurably(const QString& path, QByteArrayView bytes, const DurableWrite& how = {});

// Renames `from` to `to` only when nothing is at `to` (EEXIST), in one step.
Status moveToNewName(const QString& from, const QString& to);

// Writes all of `bytes` to `out`; a failure carries the system's error number when there is one.
Status writeAll(QIODevice& out, QByteArrayView bytes);

}  // namespace pw
