#pragma once

#include "data/contact_record.h"
#include "data/contacts_undo.h"
#include "data/file_error.h"
#include "data/file_lock.h"
#include "data/message.h"
#include "data/record_file.h"

#include <QString>

#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace pw {

// Whether a contacts file is open to be changed. Only a writer repairs what a crash left; a reader
// shows the contacts the repair would leave and writes nothing.
enum class AccessMode { Read, Write };

// What a visitor of a pass over the contacts file says after each record: go on or stop there; a
// failure ends the pass too.
enum class Visit { Next, Stop };
using PassStep = Expected<Visit>;

// What opening a contacts file came to, with the message the user is to see (none for a plain open).
struct ContactsOpenResult final {
    enum class Outcome {
        Opened,         // the file is now current
        Refused,        // not a contacts file: nothing was written, the previous file is still current
        FragmentMoved,  // current, after the incomplete record at its end was moved to fragmentPath
    };
    Outcome outcome = Outcome::Opened;
    QString fragmentPath;
    std::optional<Message> message;
    // A file that may not be written opens for reading only, for this reason.
    bool readOnly = false;
    FileError readOnlyCause;
    // The opening made the file: there was none at the path.
    bool created = false;
    // Shown besides: the lock could not be made or taken, so other programs go unnoticed.
    std::optional<Message> warning;

    bool opened() const { return outcome != Outcome::Refused; }
};

// The current contacts file: 518-byte records numbered from 1 over one handle kept open.
// Removal rewrites the file through a scratch file beside it that is renamed over the original in
// one step; opening a file finishes a removal, and undoes an import, that a crash interrupted.
//
// Making a file current (start-up, File > New, File > Open): call open(path) WITHOUT closing the
// current file first, then
//   - no value: a file error for the standard error prompt; the previous file is still current;
//   - result.opened() false: show *result.message (a warning naming the file); the previous file is
//     still current and the refused file was not written to;
//   - result.opened() true: the file is current; show *result.message when there is one (the moved
//     fragment and where it went).
// A file that does not exist is created empty by a writer. An empty file is a contacts file.
//
// Other programs may share the file: every change holds the lock beside it exclusively, every read
// pass shared, and each first follows the path to a file that was renamed over the open one.
class ContactsFile final {
public:
    // The points of a removal at which a test may stop it, as if the power went out there.
    enum class RemovalStep { NoteWritten, Marked, ScratchHalfWritten, ScratchSynced, Renamed };
    // Returns false to stop the removal at that step, leaving the files as they are.
    using RemovalProbe = std::function<bool(RemovalStep)>;

    ContactsFile() : file_(ContactRecord::kSize) {}

        // Checks that the file at `path` is a contacts file before it replaces the current one: a regular
    // file of a plausible size (no more than 2,000,000 records, no gaps never written), most of
    // whose sampled records carry "|" and CR LF where the record layout puts them. A link at `path`
    // is followed once, here: every later write goes to the file it led to. A last record that only
    // lost its line end gets it back; a trailing fragment shorter than a record (an append cut
    // short) is moved into a new file beside it and the rest opens. Before all that, a writer undoes
    // an import that a crash interrupted (see beginAppends()) and clears stale scratch files; after
    // it, finishes or rolls back a removal that a crash interrupted.
    Expected<ContactsOpenResult> open(const QString& path, AccessMode mode = AccessMode::Write);
    void close();
    bool isOpen() const { return file_.isOpen(); }
    AccessMode mode() const { return mode_; }
    // How long a take of the lock waits for other programs before it fails with kErrFileInUse, and
    // what it does meanwhile (see FileLock).
    void setPatience(std::chrono::milliseconds patience) { lock_.setPatience(patience); }
    void setLockWait(FileLock::Wait wait) { lock_.setWait(std::move(wait)); }
    // Holds the lock exclusively until close(): a command that changes the file for its whole run.
    Status holdForChanges();
    // The file's real path, every link resolved.
    const QString& path() const { return file_.path(); }
    // The file's permissions, which the files made beside it and its exports take.
    std::optional<unsigned> permissions() const;
    // After a failed import into a name that had no file: removes the file this opening made, but
    // only while it is still that file and empty. Says whether it did.
    bool removeIfStillNew();
    // Whether another program renamed a new file over the one opened, or removed it: true from then
    // on, even once a pass or a change has followed the path, until the next open().
    bool replaced() const;
    // How many times a pass or a change has followed the path to a file put in place of the open
    // one: record numbers taken at one count may name other people at the next.
    int follows() const { return follows_; }

    Expected<int> recordCount() const;
    Expected<ContactRecord> read(int n) const;
    // One pass over records 1 to the count in order, read in large chunks: `visit(n, record)` gets
    // each record as stored (a counted short final record comes framed), a damaged one (no frame,
    // NUL bytes) as a stand-in that names it, "(damaged record n)" in its street; read(n) the same. The pass ends
    // after the last record, when `visit` says Stop, or at the first failure, the visitor's or the
    // disk's, which it returns.
    Status forEachStored(const std::function<PassStep(int n, QByteArrayView record)>& visit) const;
    // The same pass with each record decoded, holding one record at a time.
    Status forEachRecord(const std::function<PassStep(int n, const ContactRecord& record)>& visit) const;
    Status append(const ContactRecord& record);
    // Appends the records with one write and makes them durable with one sync. When either fails the
    // file is cut back to where it ended before, so that it never holds part of a record.
    Status append(std::span<const ContactRecord> records);
    // Appends made between beginAppends() and commitAppends() (an import's batches) count as one
    // change: until the commit the file's length before them is noted beside the file, and
    // undoAppends(), or the next opening after a crash, cuts the file back to it.
    Status beginAppends();
    Status commitAppends();
    // Best effort: a note the disk will not let go of is finished by the next opening.
    void undoAppends();
    Status overwrite(int n, const ContactRecord& record);
    // Succeeds only once the file without record n is in place. A failure before that leaves
    // every record in the file, record n unmarked.
    Status remove(int n);
    Status setBirthdayReminders(bool on);

    // Undoing the last removal or import (contacts_undo.cpp). The file's length and the SHA-256 of
    // its bytes from `from` on.
    Expected<ChangeMark> markFrom(qint64 from) const;
    // Removes record n as remove() does, and says how to put it back.
    Expected<UndoableDelete> removeUndoably(int n, const QString& name);
    // Puts a removed record back at its number, the file replaced in one step, while the file is
    // still as the removal left it; false, and nothing changed, otherwise.
    Expected<bool> putBack(const UndoableDelete& removal);
    // Cuts an import's records off the file's end while it still ends with exactly them; false,
    // and nothing changed, otherwise.
    Expected<bool> cutOff(const UndoableImport& import);
    // The last import this handle committed while the file has been open here.
    const std::optional<UndoableImport>& lastImport() const { return lastImport_; }
    void forgetLastImport() { lastImport_.reset(); }
    // The number of the damaged record that `record` stands in for; 0 for a contact.
    static int damagedNumber(QByteArrayView record);
    // Says how many damaged records an export or a mailing left out.
    static QString damagedSkippedText(int damaged);

    void setRemovalProbe(RemovalProbe probe) { probe_ = std::move(probe); }
    // The scratch file a removal of the file at `path` writes, beside the file a symlink leads to,
    // the note that names the record being removed, and the note of an import under way.
    static QString scratchPathFor(const QString& path);
    static QString removalNotePathFor(const QString& path);
    static QString appendNotePathFor(const QString& path);
    static QString lockPathFor(const QString& path);
    // The note an import leaves beside the file: what undo-import takes off again.
    static QString importNotePathFor(const QString& path);

private:
    // Under the lock, before a pass or a change: the handle follows the path to a file renamed over
    // the open one, a writer repairs what another program's crash left, a reader works out what that
    // repair would leave.
    Status prepare() const;
    // The exclusive take for one change with prepare() done for it and what another program's crash
    // left repaired; a reader's change is refused before anything is taken. Let go of at the end of
    // its scope unless kept (contacts_file_parts.h).
    class ChangeHold;
    Status repair();
    // Whether a note of an unfinished import or removal lies beside the file.
    bool journalPresent() const;
    Status refreshReaderView() const;
    // Record numbers as the caller sees them, over a reader's hidden record.
    int storedNumber(int n) const { return hidden_ > 0 && n >= hidden_ ? n + 1 : n; }
    Status recoverInterruptedRemoval();
    Status compact(int count, int dropped);
    // Notes beside the file, for undo-import, the import being committed, appended from `from` on.
    Status noteImport(qint64 from);
    // Puts record n's bytes back and drops the scratch file and note after a removal failed.
    void rollBack(int n, const QByteArray& record);
    bool proceed(RemovalStep step)
    {
        stopped_ = probe_ && !probe_(step);
        return !stopped_;
    }

    // Mutable: a read pass may reopen the handle at its path or take the lock.
    mutable RecordFile file_;
    mutable FileLock lock_;
    AccessMode mode_ = AccessMode::Write;
    // A reader's view: the whole records a repair would keep, and the one it would remove (0: none).
    mutable int visible_ = -1;
    mutable int hidden_ = 0;
    mutable bool followed_ = false;  // a pass or a change followed the path to a replacing file
    mutable int follows_ = 0;
    RemovalProbe probe_;
    bool stopped_ = false;  // the probe stopped the removal, as a crash would
    bool renamed_ = false;  // the compacted file has replaced the original
    qint64 appendsFrom_ = -1;  // the noted length while appends are begun and not committed
    std::optional<UndoableImport> lastImport_;
    bool created_ = false;     // the opening made the file
};

}  // namespace pw
