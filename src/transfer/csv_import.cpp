#include "transfer/csv_import.h"

#include "data/contacts_file.h"
#include "data/text_rules.h"
#include "transfer/csv_text.h"
#include "transfer/import_layouts.h"

#include <QIODevice>
#include <QSet>

#include <cerrno>
#include <vector>

namespace pw {
namespace {

constexpr int kProgressEvery = 64;  // rows between two progress reports

// The records there before the import, by the values the duplicate test compares.
class DuplicateIndex final {
public:
    Status load(const ContactsFile& contacts)
    {
        // Only the three compared fields are decoded: the rest would cost most of the time.
        const ContactRecord::Field first = field(&ContactRecord::FirstName);
        const ContactRecord::Field last = field(&ContactRecord::LastName);
        const ContactRecord::Field email = field(&ContactRecord::Email);
        return contacts.visitStored([&](QByteArrayView stored) -> Status {
            if (const QByteArrayView e = trimmed(stored, email); !e.isEmpty())
                emails_.insert(fromCodePage(e));
            const QByteArrayView f = trimmed(stored, first);
            const QByteArrayView l = trimmed(stored, last);
            if (!f.isEmpty() && !l.isEmpty())
                names_.insert(fromCodePage(f) + u'\x1f' + fromCodePage(l));
            return {};
        });
    }

    // A row is a duplicate on an e-mail that is not empty, or on a first and last name that are
    // both given, compared as the record would store them.
    bool contains(const ContactRecord& stored) const
    {
        return (!stored.Email.isEmpty() && emails_.contains(stored.Email))
            || (!stored.FirstName.isEmpty() && !stored.LastName.isEmpty() && names_.contains(nameKey(stored)));
    }

private:
    static ContactRecord::Field field(QString ContactRecord::*member)
    {
        for (const ContactRecord::Field& f : ContactRecord::kFields) {
            if (f.member == member)
                return f;
        }
        return {};
    }
    static QByteArrayView trimmed(QByteArrayView record, const ContactRecord::Field& f)
    {
        QByteArrayView v = record.sliced(f.offset, f.width);
        while (!v.isEmpty() && v.front() == ' ')
            v = v.sliced(1);
        while (!v.isEmpty() && v.back() == ' ')
            v.chop(1);
        return v;
    }
    static QString nameKey(const ContactRecord& r) { return r.FirstName + u'\x1f' + r.LastName; }

    QSet<QString> emails_;
    QSet<QString> names_;
};

Expected<QByteArray> readWhole(QIODevice& device)
{
    QByteArray bytes;
    char buffer[1 << 16];
    for (;;) {
        errno = 0;
        const qint64 got = device.read(buffer, sizeof buffer);
        if (got < 0)
            return std::unexpected(FileError{errno != 0 ? errno : EIO, device.errorString()});
        if (got == 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

}  // namespace

ImportResult importContacts(QIODevice& csv, ContactsFile& contacts, const ImportOptions& options)
{
    ImportResult result;
    auto fail = [&](const FileError& error) {
        result.end = ImportResult::End::Failed;
        result.error = error;
        return result;
    };

    auto bytes = readWhole(csv);
    if (!bytes)
        return fail(bytes.error());
    DuplicateIndex existing;
    if (auto s = existing.load(contacts); !s)
        return fail(s.error());

    const std::vector<CsvRow> rows = parseCsv(decodeImportText(*bytes));
    const LayoutRules* layout = rows.empty() ? nullptr : recogniseLayout(joinedColumns(rows.front().fields));
    if (!layout) {
        result.end = ImportResult::End::NotCompatible;
        return result;
    }
    auto heading = prepareHeading(*layout, rows.front().fields);
    if (!heading)
        return fail(heading.error());
    if (!*heading) {
        result.end = ImportResult::End::NotCompatible;
        return result;
    }

    const QString reminders = options.remindersOn ? QStringLiteral("1") : QStringLiteral("0");
    std::vector<ContactRecord> batch;
    batch.reserve(options.batchSize);
    auto flush = [&]() -> Status {
        if (batch.empty())
            return {};
        if (auto s = contacts.append(batch); !s)
            return s;
        result.imported += int(batch.size());
        batch.clear();
        return {};
    };

    const qint64 total = qint64(rows.size()) - 1;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        auto contact = contactFromRow(*layout, **heading, rows[i].fields, rows[i].line);
        if (!contact) {
            if (auto s = flush(); !s)
                return fail(s.error());
            return fail(contact.error());
        }
        if (*contact) {
            ContactRecord& r = **contact;
            r.BirthdayReminders = reminders;
            if (!existing.contains(ContactRecord::decode(r.encode())))
                batch.push_back(std::move(r));
        }
        if (int(batch.size()) >= options.batchSize) {
            if (auto s = flush(); !s)
                return fail(s.error());
        }
        if (options.progress && (i % kProgressEvery == 0) && !options.progress(qint64(i), total)) {
            if (auto s = flush(); !s)
                return fail(s.error());
            result.end = ImportResult::End::Cancelled;
            return result;
        }
    }
    if (auto s = flush(); !s)
        return fail(s.error());
    return result;
}

std::optional<Message> importEndMessage(const ImportResult& result)
{
    switch (result.end) {
    case ImportResult::End::Completed:
        return Message{QStringLiteral("D O N E !  %1 contacts successfully imported.").arg(result.imported),
                       QStringLiteral("Import completed")};
    case ImportResult::End::NotCompatible:
        return Message{QStringLiteral("CSV file not compatible with import function."),
                       QStringLiteral("No contacts imported"), MessageIcon::Information};
    case ImportResult::End::Cancelled:
        return Message{QStringLiteral("Import stopped.  %1 contacts were imported before it stopped; they are in the "
                                      "contacts file.")
                           .arg(result.imported),
                       QStringLiteral("Import stopped"), MessageIcon::Information};
    case ImportResult::End::Failed:
        break;
    }
    return std::nullopt;
}

FileError importFailure(const ImportResult& result)
{
    FileError error = result.error.value_or(FileError{});
    error.description += QStringLiteral(" (%1 contacts were imported before the error)").arg(result.imported);
    return error;
}

}  // namespace pw
