#pragma once

#include "list/contact_lines.h"

#include <QAbstractListModel>
#include <QList>
#include <QStringList>

#include <vector>

namespace pw {

// The lines of the all-contacts list, kept in sorted order; a view draws only the rows it shows.
// Each row's text is its display value and its record number the RecordRole value.
class ContactLineModel final : public QAbstractListModel {
    Q_OBJECT

public:
    static constexpr int RecordRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    // Takes lines already in sorted order (sortLines).
    void setLines(std::vector<ContactLine> lines);
    void clear();
    const std::vector<ContactLine>& lines() const { return lines_; }
    const ContactLine& line(int row) const { return lines_[row]; }

    // Adds a line without a record at its sorted place, after any equal lines; returns its row.
    int insertSorted(const QString& text);
    // Removes the rows, given in any order.
    void removeLines(QList<int> rows);

private:
    std::vector<ContactLine> lines_;
};

}  // namespace pw
