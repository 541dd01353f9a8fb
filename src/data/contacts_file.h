#pragma once

#include "data/contact_record.h"
#include "data/file_error.h"
#include "data/record_file.h"

#include <QString>

#include <functional>
#include <vector>

namespace pw {

// The current contacts file: 518-byte records numbered from 1 over one handle kept open.
// Removal rewrites the file through a scratch file beside it that is renamed over the original in
// one step; opening a file finishes a removal that a crash interrupted.
class ContactsFile final {
public:
    // The points of a removal at which a test may stop it, as if the power went out there.
    enum class RemovalStep { ScratchCreated, Marked, ScratchHalfWritten, ScratchSynced, Renamed };
    // Returns false to stop the removal at that step, leaving the files as they are. It may also
    // break the files under the removal, as a full disk would.
    using RemovalProbe = std::function<bool(RemovalStep)>;

    ContactsFile() : file_(ContactRecord::kSize) {}

    // Opens the file (created empty if absent) and finishes an interrupted removal.
    Status open(const QString& path);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    const QString& path() const { return file_.path(); }

    Expected<int> recordCount() const;
    Expected<ContactRecord> read(int n) const;
    // Every record in order, in one pass over the file.
    Expected<std::vector<ContactRecord>> readAll() const;
    // Calls `visit(n, bytes)` for records 1 to the count in order, in one pass over the file, for
    // readers that need a few fields of every record; a counted short final record comes padded.
    Status scan(const std::function<void(int, QByteArrayView)>& visit) const;
    Status append(const ContactRecord& record);
    // Refuses a record number beyond the count: nothing is written past the end.
    Status overwrite(int n, const ContactRecord& record);
    // Succeeds only once the file without record n is in place. A failure before that leaves
    // every record in the file, record n unmarked.
    Status remove(int n);
    Status setBirthdayReminders(bool on);

    void setRemovalProbe(RemovalProbe probe) { probe_ = std::move(probe); }
    // The scratch file a removal of the file at `path` writes.
    static QString scratchPathFor(const QString& path);

private:
    // `renamed` tells whether the compacted file replaced the original.
    Status compact(int count, bool& renamed);
    // Puts record n's bytes back and drops the scratch file after a removal failed.
    void rollBack(int n, const QByteArray& record);
    bool proceed(RemovalStep step);

    RecordFile file_;
    RemovalProbe probe_;
    bool stopped_ = false;  // the probe stopped the removal, as a crash would
};

}  // namespace pw
