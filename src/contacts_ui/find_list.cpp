#include "contacts_ui/find_list.h"

#include "data/text_rules.h"

#include <algorithm>
#include <numeric>

namespace pw {
namespace {

// One stored field, trimmed of blanks and decoded, straight from the record's bytes.
QString storedField(QByteArrayView record, QString ContactRecord::*member)
{
    const auto& fields = ContactRecord::kFields;
    const auto* f = std::find_if(fields.begin(), fields.end(),
                                 [member](const ContactRecord::Field& field) { return field.member == member; });
    QByteArrayView bytes = record.sliced(f->offset, f->width);
    while (!bytes.isEmpty() && bytes.front() == ' ')
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    return fromCodePage(bytes);
}

}  // namespace

QString findEntryText(const QString& first, const QString& middle, const QString& last)
{
    return first + u' ' + middle + u' ' + last;
}

Expected<std::vector<FindEntry>> readFindList(const ContactsFile& file)
{
    std::vector<FindEntry> unsorted;
    auto scanned = file.scan([&](int n, QByteArrayView record) {
        unsorted.push_back({findEntryText(storedField(record, &ContactRecord::FirstName),
                                          storedField(record, &ContactRecord::MiddleInitial),
                                          storedField(record, &ContactRecord::LastName)),
                            n});
    });
    if (!scanned)
        return std::unexpected(scanned.error());

    // Folding each text once and sorting on the folded keys is several times faster than a
    // case-insensitive comparison inside the sort.
    std::vector<QString> keys;
    keys.reserve(unsorted.size());
    for (const FindEntry& entry : unsorted)
        keys.push_back(entry.text.toCaseFolded());
    std::vector<int> order(unsorted.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = keys[a].compare(keys[b]);
        return c != 0 ? c < 0 : a < b;
    });
    std::vector<FindEntry> sorted;
    sorted.reserve(order.size());
    for (int i : order)
        sorted.push_back(std::move(unsorted[i]));
    return sorted;
}

void FindListModel::setEntries(std::vector<FindEntry> entries)
{
    beginResetModel();
    entries_ = std::move(entries);
    keys_.clear();
    keys_.reserve(entries_.size());
    for (const FindEntry& entry : entries_)
        keys_.push_back(entry.text.toCaseFolded());
    endResetModel();
}

int FindListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(entries_.size());
}

QVariant FindListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const FindEntry& entry = entries_[index.row()];
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return entry.text;
    if (role == Qt::UserRole)
        return entry.record;
    return {};
}

QModelIndexList FindListModel::match(const QModelIndex& start, int role, const QVariant& value, int hits,
                                     Qt::MatchFlags flags) const
{
    const bool prefixSearch = role == Qt::DisplayRole && hits == 1 &&
                              (flags & Qt::MatchTypeMask) == Qt::MatchStartsWith &&
                              !(flags & Qt::MatchCaseSensitive) && !(flags & Qt::MatchRecursive) &&
                              value.typeId() == QMetaType::QString && start.isValid();
    if (!prefixSearch)
        return QAbstractListModel::match(start, role, value, hits, flags);

    // The entries that start with the typed text are one run of the sorted keys.
    const QString prefix = value.toString().toCaseFolded();
    const auto first = std::lower_bound(keys_.begin(), keys_.end(), prefix);
    const auto last = std::partition_point(first, keys_.end(), [&](const QString& key) { return key.startsWith(prefix); });
    if (first == last)
        return {};
    const int from = static_cast<int>(first - keys_.begin());
    const int to = static_cast<int>(last - keys_.begin());
    int row = start.row();
    if (row < from)
        row = from;
    else if (row >= to) {
        if (!(flags & Qt::MatchWrap))
            return {};
        row = from;
    }
    return {index(row)};
}

}  // namespace pw
