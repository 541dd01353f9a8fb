#pragma once

#include "data/file_error.h"

#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

namespace pw {

// The points of a durable write at which a test may stop it, as if the power went out there.
enum class DurableStep { ScratchSynced, Renamed };

struct DurableWrite final {
    // Where the new content is written first, beside the file; empty: the file's path + ".partial".
    QString scratchPath;
    // False: a file already at the path is an error (EEXIST) rather than replaced.
    bool replace = true;
    // Asked at each step; false stops the write there and leaves the files as a crash would.
    std::function<bool(DurableStep)> proceed;
};

// The one way Postwick writes a whole file. `fill` writes the new content into a scratch file beside
// `path`; the scratch file is synced, takes the permissions of the file it replaces, is renamed over
// `path`, and the folder is synced. So whatever happens, `path` holds its old content or all of the
// new, never a part. A failure removes the scratch file and leaves `path` as it was; a stop on
// purpose (kErrInterrupted, the tests' crash) leaves everything as it stands.
Status writeFileDurably(const QString& path, const std::function<Status(QIODevice& out)>& fill,
                        const DurableWrite& how = {});
Status writeFileDurably(const QString& path, QByteArrayView bytes, const DurableWrite& how = {});

// Writes all of `bytes` to `out`; a failure carries the system's error number when there is one.
Status writeAll(QIODevice& out, QByteArrayView bytes);

}  // namespace pw
