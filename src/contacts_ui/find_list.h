#pragma once

#include "data/contacts_file.h"

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace pw {

// One entry of the contact editor's find list: the name as listed and the record it stands for.
struct FindEntry final {
    QString text;
    int record = 0;
    bool operator==(const FindEntry&) const = default;
};

// First name, a space, middle initial, a space, last name; a missing initial leaves two spaces.
QString findEntryText(const QString& first, const QString& middle, const QString& last);

// One entry per record of the file, sorted by text with letter case ignored; equal texts stay in
// record order. Only the three name fields of each record are decoded.
Expected<std::vector<FindEntry>> readFindList(const ContactsFile& file);

// The find list as a model for a drop-down list: the entry text for display, the record number
// under Qt::UserRole. Replacing the entries resets the model in one step, so a list of 100,000
// entries costs no per-row signals.
class FindListModel final : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    void setEntries(std::vector<FindEntry> entries);
    const std::vector<FindEntry>& entries() const { return entries_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Typing in the closed list looks names up here; the list is sorted, so a name search by
    // prefix is a binary search instead of a walk over every entry.
    QModelIndexList match(const QModelIndex& start, int role, const QVariant& value, int hits,
                          Qt::MatchFlags flags) const override;

private:
    std::vector<FindEntry> entries_;
    std::vector<QString> keys_;  // case-folded texts, in entry order
};

}  // namespace pw
