#include "contacts_ui/find_list.h"

#include "data/text_rules.h"

#include <algorithm>
#include <string_view>

namespace pw {
namespace {

// Appends a stored field, trimmed of blanks, to `out`.
void appendField(QByteArrayView record, const ContactRecord::Field& field, QChar*& out)
{
    QByteArrayView bytes = record.sliced(field.offset, field.width);
    while (!bytes.isEmpty() && bytes.front() == ' ')
        bytes = bytes.sliced(1);
    while (!bytes.isEmpty() && bytes.back() == ' ')
        bytes.chop(1);
    for (char b : bytes)
        *out++ = fromCodePage(b);
}

}  // namespace

void FindList::append(QStringView text, int record)
{
    entries_.push_back({texts_.size(), static_cast<int>(text.size()), record});
    texts_.append(text);
    const qsizetype at = folded_.size();
    folded_.resize(at + text.size());
    std::transform(text.begin(), text.end(), folded_.begin() + at, sortLetter);
}

void FindList::sort()
{
    // A merge sort keeps equal texts in the order they were added, and compares fewer times than
    // a quick sort on names that share long beginnings.
    const auto key = [this](const Entry& e) {
        return std::u16string_view(reinterpret_cast<const char16_t*>(folded_.constData()) + e.offset, e.length);
    };
    std::stable_sort(entries_.begin(), entries_.end(), [&](const Entry& a, const Entry& b) { return key(a) < key(b); });
}

QStringView FindList::text(int i) const
{
    const Entry& e = entries_[i];
    return QStringView(texts_).sliced(e.offset, e.length);
}

int FindList::findPrefix(QStringView prefix, int from, bool wrap) const
{
    const QString key = sortKey(prefix);
    // The entries that start with the prefix are one run of the sorted list.
    const auto first = std::partition_point(entries_.begin(), entries_.end(),
                                            [&](const Entry& e) { return folded(e).compare(key) < 0; });
    const auto last = std::partition_point(first, entries_.end(),
                                           [&](const Entry& e) { return folded(e).startsWith(key); });
    if (first == last)
        return -1;
    const int begin = static_cast<int>(first - entries_.begin());
    const int end = static_cast<int>(last - entries_.begin());
    if (from < begin)
        return begin;
    if (from < end)
        return from;
    return wrap ? begin : -1;
}

Expected<FindList> readFindList(const ContactsFile& file)
{
    FindList list;
    const auto& fields = ContactRecord::kFields;  // FirstName, MiddleInitial and LastName lead
    auto scanned = file.forEachStored([&](int n, QByteArrayView record) {
        QChar buffer[14 + 1 + 1 + 1 + 18];
        QChar* out = buffer;
        appendField(record, fields[0], out);
        *out++ = u' ';
        appendField(record, fields[1], out);
        *out++ = u' ';
        appendField(record, fields[2], out);
        list.append(QStringView(buffer, out - buffer), n);
        return Visit::Next;
    });
    if (!scanned)
        return std::unexpected(scanned.error());
    list.sort();
    return list;
}

void FindListModel::setList(FindList list)
{
    beginResetModel();
    list_ = std::move(list);
    endResetModel();
}

int FindListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : list_.size();
}

QVariant FindListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= list_.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return list_.text(index.row()).toString();
    if (role == Qt::UserRole)
        return list_.record(index.row());
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
    const int row = list_.findPrefix(value.toString(), start.row(), flags.testFlag(Qt::MatchWrap));
    return row < 0 ? QModelIndexList{} : QModelIndexList{index(row)};
}

}  // namespace pw
