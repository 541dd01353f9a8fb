#pragma once

#include "data/contacts_file.h"

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace pw {

// The contact editor's find list: one entry per record, its name as listed (first name, a space,
// middle initial, a space, last name, so a missing initial leaves two spaces) and its record number,
// kept sorted by name with letter case ignored. It is rebuilt after every step through a file that
// may hold 100,000 contacts, so all texts share one buffer instead of a string each.
class FindList final {
public:
    // Adds an entry at the end; sort() puts it in its place.
    void append(QStringView text, int record);
    // Sorts by text, letter case ignored; equal texts stay in the order they were added.
    void sort();

    int size() const { return static_cast<int>(entries_.size()); }
    QStringView text(int i) const;
    int record(int i) const { return entries_[i].record; }
    // The first entry from `from` on whose text starts with `prefix`, letter case ignored; with
    // `wrap` the search goes round to the top. -1 when there is none.
    int findPrefix(QStringView prefix, int from, bool wrap) const;

private:
    struct Entry {
        qsizetype offset;
        int length;
        int record;
    };
    QStringView folded(const Entry& entry) const { return QStringView(folded_).sliced(entry.offset, entry.length); }

    QString texts_;   // every entry's text, back to back
    QString folded_;  // the same texts case-folded, for sorting and searching
    std::vector<Entry> entries_;
};

// The find list of the file: every record by name, sorted. Only the three name fields of each
// record are decoded.
Expected<FindList> readFindList(const ContactsFile& file);

// The find list as a model for a drop-down list: the entry text for display, the record number
// under Qt::UserRole. Replacing the list resets the model in one step.
class FindListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setList(FindList list);
    const FindList& list() const { return list_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Typing in the closed list looks names up here: a binary search in the sorted list instead
    // of a walk over every entry.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

private:
    FindList list_;
};

}  // namespace pw
