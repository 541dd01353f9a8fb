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
    // Returns false to stop the removal at that step, leaving the files as they are.
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
    // The same without keeping them: `visit(n, record)` for records 1 to count in order, so that
    // a pass over a large file holds one record at a time.
    Status visitRecords(const std::function<void(int, const ContactRecord&)>& visit) const;
    Status append(const ContactRecord& record);
    Status overwrite(int n, const ContactRecord& record);
    Status remove(int n);
    Status setBirthdayReminders(bool on);

    void setRemovalProbe(RemovalProbe probe) { probe_ = std::move(probe); }
    // The scratch file a removal of the file at `path` writes.
    static QString scratchPathFor(const QString& path);

private:
    Status compact(int count);
    bool proceed(RemovalStep step) const { return !probe_ || probe_(step); }

    RecordFile file_;
    RemovalProbe probe_;
};

}  // namespace pw
