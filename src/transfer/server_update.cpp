#include "transfer/server_update.h"

#include "data/contacts_file.h"
#include "data/durable_file.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMultiHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <algorithm>
#include <optional>

namespace pw {
namespace {

const QByteArray kNotesHeading = "Postwick server cards 1";

// The address book as the notes name it: no user name, one spelling.
QString bookKey(const QUrl& address)
{
    return address.adjusted(QUrl::RemoveUserInfo | QUrl::RemoveQuery | QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
}

QString serverOf(const QUrl& address)
{
    return address.adjusted(QUrl::RemoveUserInfo | QUrl::RemovePath | QUrl::RemoveQuery | QUrl::RemoveFragment)
        .toString(QUrl::FullyEncoded);
}

// The record's fingerprint: what the import stored, whatever the birthday reminders are set to since.
QByteArray fingerprint(ContactRecord record)
{
    record.BirthdayReminders = QStringLiteral("0");
    return QCryptographicHash::hash(record.encode(), QCryptographicHash::Sha256);
}

QString nameOf(const ContactRecord& r)
{
    const QString name = (r.FirstName + u' ' + r.LastName).simplified();
    return name.isEmpty() ? r.Company.simplified() : name;
}

QString uidOf(const QByteArray& card)
{
    static const QRegularExpression uid(QStringLiteral("^UID[:;](?:[^:\\r\\n]*:)?([^\\r\\n]*)"),
                                        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    QByteArray unfolded = card;
    unfolded.replace("\r\n ", "").replace("\n ", "");
    return uid.match(QString::fromUtf8(unfolded)).captured(1).trimmed();
}

// A record by the values that tell a person apart: the name, and the e-mail, street or phone.
QString personKey(const ContactRecord& r)
{
    const QString name = r.FirstName.simplified().toCaseFolded() + u'|' + r.LastName.simplified().toCaseFolded();
    if (!r.Email.trimmed().isEmpty())
        return name + QStringLiteral("|e|") + r.Email.trimmed().toCaseFolded();
    if (!r.Street1.trimmed().isEmpty())
        return name + QStringLiteral("|s|") + r.Street1.simplified().toCaseFolded();
    for (const QString* phone : {&r.CellPhone, &r.HomePhone, &r.WorkPhone}) {
        QString digits;
        for (QChar c : *phone) {
            if (c.isDigit())
                digits += c;
        }
        if (!digits.isEmpty())
            return name + QStringLiteral("|p|") + digits;
    }
    return name;
}

// Each card as the import would store it, or none for a card it would not take; worked out in a
// contacts file of its own, so that the one being updated sees no import.
Expected<std::vector<std::optional<ContactRecord>>> recordsOf(const std::vector<QByteArray>& cards,
                                                              const ImportOptions& options)
{
    std::vector<std::optional<ContactRecord>> records(cards.size());
    if (cards.empty())
        return records;
    QTemporaryDir folder;
    ContactsFile scratch;
    if (!folder.isValid())
        return std::unexpected(FileError{EIO, folder.errorString()});
    if (auto opened = scratch.open(folder.filePath(QStringLiteral("cards"))); !opened)
        return std::unexpected(opened.error());
    ImportOptions only = options;
    only.progress = {};
    only.taking = [&](int card, const ContactRecord& r) {
        records[std::size_t(card)] = r;
        return false;
    };
    const ImportResult result = importCards(cards, scratch, only);
    if (result.end == ImportResult::End::Failed)
        return std::unexpected(result.error.value_or(FileError{EIO, {}}));
    return records;
}

Status writeNotes(const QString& path, const std::vector<ServerCardNote>& notes, std::optional<unsigned> mode)
{
    QByteArray bytes = kNotesHeading + '\n';
    for (const ServerCardNote& n : notes) {
        for (const QString& field : {n.book, n.href, n.uid, n.etag})
            bytes += QUrl::toPercentEncoding(field) + '\t';
        bytes += n.record.toHex() + '\n';
    }
    DurableWrite how;
    how.mode = mode;
    return writeFileDurably(path, bytes, how);
}

}  // namespace

QString serverNotesPath(const QString& contactsPath)
{
    const QString real = QFileInfo(contactsPath).canonicalFilePath();
    return (real.isEmpty() ? contactsPath : real) + QStringLiteral(".server");
}

Expected<std::vector<ServerCardNote>> readServerNotes(const QString& contactsPath)
{
    std::vector<ServerCardNote> notes;
    QFile file(serverNotesPath(contactsPath));
    if (!file.exists())
        return notes;
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(FileError{EIO, file.errorString()});
    if (file.readLine().trimmed() != kNotesHeading)
        return notes;  // not ours to read: the next update pairs by person and writes it anew
    while (!file.atEnd()) {
        const QList<QByteArray> fields = file.readLine().trimmed().split('\t');
        if (fields.size() != 5)
            continue;
        auto text = [](const QByteArray& f) { return QString::fromUtf8(QByteArray::fromPercentEncoding(f)); };
        notes.push_back({text(fields[0]), text(fields[1]), text(fields[2]), text(fields[3]),
                         QByteArray::fromHex(fields[4])});
    }
    return notes;
}

std::function<bool(const ListedCard&)> cardsToFetch(const std::vector<ServerCardNote>& notes, const QUrl& address)
{
    QHash<QString, QString> etags;  // by href, of the notes for this server
    const QString server = serverOf(address);
    for (const ServerCardNote& n : notes) {
        if (serverOf(QUrl(n.book)) == server)
            etags.insert(n.href, n.etag);
    }
    return [etags](const ListedCard& card) {
        const auto noted = etags.constFind(card.href);
        return noted == etags.cend() || card.etag.isEmpty() || *noted != card.etag;
    };
}

ServerUpdate updateFromServer(const AddressBookCards& book, ContactsFile& contacts, const ServerUpdateOptions& options)
{
    ServerUpdate out;
    out.import.vCard = true;
    auto fail = [&](const FileError& error) {
        out.import.end = ImportResult::End::Failed;
        out.import.error = error;
        return out;
    };
    const QString key = bookKey(book.address);
    const auto allNotes = readServerNotes(contacts.path());
    if (!allNotes)
        return fail(allNotes.error());
    std::vector<ServerCardNote> others;
    std::vector<ServerCardNote> notes;  // this address book's
    for (const ServerCardNote& n : *allNotes)
        (n.book == key ? notes : others).push_back(n);

    // The records on file, and which of them the notes pair with cards.
    std::vector<ContactRecord> stored(1);  // by number, from 1
    QMultiHash<QByteArray, int> byFingerprint;
    if (auto s = contacts.forEachRecord([&](int n, const ContactRecord& r) -> PassStep {
            stored.push_back(r);
            byFingerprint.insert(fingerprint(r), n);
            return Visit::Next;
        });
        !s)
        return fail(s.error());
    QSet<int> claimed;
    auto claim = [&](const QByteArray& print) {
        for (int n : byFingerprint.values(print)) {
            if (!claimed.contains(n)) {
                claimed.insert(n);
                return n;
            }
        }
        return 0;
    };
    QHash<QString, qsizetype> noteOf;  // by href
    std::vector<int> paired(notes.size());  // the record each note pairs with; 0 when changed here
    for (qsizetype i = 0; i < qsizetype(notes.size()); ++i) {
        noteOf.insert(notes[i].href, i);
        paired[i] = claim(notes[i].record);
    }
    const bool byPerson = notes.empty();
    QMultiHash<QString, int> byPersonKey;
    if (byPerson) {
        for (int n = 1; n < int(stored.size()); ++n)
            byPersonKey.insert(personKey(stored[n]), n);
    }

    // The records the cards make, to compare and pair; into an empty file with nothing noted, every
    // card is simply imported.
    std::vector<QByteArray> data;
    if (!notes.empty() || stored.size() > 1) {
        for (const ServerCard& card : book.cards)
            data.push_back(card.data);
    }
    auto records = recordsOf(data, options.import);
    if (!records)
        return fail(records.error());
    records->resize(book.cards.size());

    // A paired record takes the card's values; its reminder flag is the file's setting, kept.
    auto rewrite = [&](int n, ContactRecord r) -> Status {
        r.BirthdayReminders = stored[n].BirthdayReminders;
        if (fingerprint(r) == fingerprint(stored[n]))
            return {};
        if (auto s = contacts.overwrite(n, r); !s)
            return s;
        out.updated.append(nameOf(r));
        stored[n] = r;
        return {};
    };
    std::vector<std::size_t> fresh;  // cards to import
    for (std::size_t i = 0; i < book.cards.size(); ++i) {
        const ServerCard& card = book.cards[i];
        const std::optional<ContactRecord>& r = (*records)[i];
        const auto noted = noteOf.constFind(card.href);
        if (noted != noteOf.cend()) {
            ServerCardNote& note = notes[*noted];
            if (!r)
                continue;
            note.etag = card.etag;
            note.uid = uidOf(card.data);
            const int n = paired[*noted];
            if (n > 0) {
                if (auto s = rewrite(n, *r); !s)
                    return fail(s.error());
                note.record = fingerprint(*r);
            } else if (const int same = claim(fingerprint(*r)); same > 0) {
                paired[*noted] = same;  // already as the server has it
                note.record = fingerprint(*r);
            } else {
                out.keptYours.append(nameOf(*r));
            }
            continue;
        }
        if (!r) {
            fresh.push_back(i);
            continue;
        }
        int n = claim(fingerprint(*r));
        if (n == 0 && byPerson) {
            for (int candidate : byPersonKey.values(personKey(*r))) {
                if (!claimed.contains(candidate)) {
                    n = candidate;
                    claimed.insert(n);
                    // What the contact holds and the card does not (its notes, a category) stays.
                    ContactRecord merged = *r;
                    for (const ContactRecord::Field& f : ContactRecord::kFields) {
                        if ((merged.*f.member).trimmed().isEmpty())
                            merged.*f.member = stored[n].*f.member;
                    }
                    if (auto s = rewrite(n, merged); !s)
                        return fail(s.error());
                    break;
                }
            }
        }
        if (n == 0) {
            fresh.push_back(i);
            continue;
        }
        out.pairedByPerson |= byPerson;
        notes.push_back({key, card.href, uidOf(card.data), card.etag, fingerprint(stored[n])});
        paired.push_back(n);
    }

    // The new cards, as an import; those stored are noted by the records they became.
    const auto before = contacts.recordCount();
    if (!before)
        return fail(before.error());
    std::vector<QByteArray> freshData;
    std::vector<std::optional<QByteArray>> freshPrint(fresh.size());
    for (std::size_t i : fresh)
        freshData.push_back(book.cards[i].data);
    ImportOptions importing = options.import;
    importing.taking = [&](int card, const ContactRecord& r) {
        freshPrint[std::size_t(card)] = fingerprint(r);
        return true;
    };
    out.import = importCards(freshData, contacts, importing);
    // Every card the server lists was read, fetched or known by its version.
    out.unchanged = int(book.listed.size() - book.cards.size()) - int(book.tooLarge.size());
    out.import.read += int(book.cards.size() - fresh.size()) + out.unchanged;
    if (out.import.end == ImportResult::End::Failed || out.import.end == ImportResult::End::Cancelled)
        return out;
    if (auto s = contacts.forEachRecord([&](int n, const ContactRecord& r) -> PassStep {
            if (n > *before) {
                stored.push_back(r);
                byFingerprint.insert(fingerprint(r), n);
            }
            return Visit::Next;
        });
        !s)
        return fail(s.error());
    for (std::size_t j = 0; j < fresh.size(); ++j) {
        if (!freshPrint[j])
            continue;
        const ServerCard& card = book.cards[fresh[j]];
        if (const int n = claim(*freshPrint[j]); n > 0) {
            notes.push_back({key, card.href, uidOf(card.data), card.etag, *freshPrint[j]});
            paired.push_back(n);
        }
    }

    // Cards deleted on the server: their contacts go only when the person says so.
    QSet<QString> listed;
    for (const ListedCard& card : book.listed)
        listed.insert(card.href);
    std::vector<std::size_t> gone;
    QStringList goneNames;
    std::vector<bool> keep(notes.size(), true);
    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (listed.contains(notes[i].href))
            continue;
        if (paired[i] == 0) {
            keep[i] = false;  // changed or removed here: nothing to remove, nothing to follow
            continue;
        }
        gone.push_back(i);
        goneNames.append(nameOf(stored[paired[i]]));
    }
    std::vector<bool> remove = gone.empty() || !options.removeDeleted ? std::vector<bool>(gone.size(), false)
                                                                      : options.removeDeleted(goneNames);
    remove.resize(gone.size(), false);
    std::vector<int> numbers;
    for (std::size_t k = 0; k < gone.size(); ++k) {
        if (remove[k]) {
            numbers.push_back(paired[gone[k]]);
            keep[gone[k]] = false;
            out.removed.append(goneNames[k]);
        } else {
            out.deletedKept.append(goneNames[k]);
        }
    }
    std::sort(numbers.rbegin(), numbers.rend());  // from the end, so that the others keep their numbers
    for (int n : numbers) {
        if (auto s = contacts.remove(n); !s)
            return fail(s.error());
    }

    for (std::size_t i = 0; i < notes.size(); ++i) {
        if (keep[i])
            others.push_back(notes[i]);
    }
    if (auto s = writeNotes(serverNotesPath(contacts.path()), others, contacts.permissions()); !s)
        return fail(s.error());
    return out;
}

QStringList serverUpdateLines(const ServerUpdate& update)
{
    QStringList lines;
    auto count = [&](qsizetype n, const QString& what) {
        if (n > 0)
            lines.append(QStringLiteral("%1 %2 %3").arg(n).arg(n == 1 ? QStringLiteral("contact") : QStringLiteral("contacts"), what));
    };
    count(update.unchanged, QStringLiteral("unchanged since the last import"));
    count(update.updated.size(), QStringLiteral("updated with the server's changes"));
    count(update.keptYours.size(), QStringLiteral("changed in both places: kept yours"));
    count(update.removed.size(), QStringLiteral("removed: deleted on the server"));
    count(update.deletedKept.size(), QStringLiteral("kept though deleted on the server"));
    if (update.pairedByPerson)
        lines.append(QStringLiteral("No earlier import from this address book was noted: its cards were paired "
                                    "with contacts of the same name and e-mail, street or phone"));
    for (const QString& name : update.updated)
        lines.append(QStringLiteral("Updated: %1").arg(name));
    for (const QString& name : update.keptYours)
        lines.append(QStringLiteral("%1: changed in both places: kept yours").arg(name));
    for (const QString& name : update.removed)
        lines.append(QStringLiteral("Removed, deleted on the server: %1").arg(name));
    for (const QString& name : update.deletedKept)
        lines.append(QStringLiteral("Deleted on the server, kept here: %1").arg(name));
    return lines;
}

}  // namespace pw
