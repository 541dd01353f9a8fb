#include "list/contact_line_model.h"

#include <algorithm>

namespace pw {

int ContactLineModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(lines_.size());
}

QVariant ContactLineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const ContactLine& line = lines_[index.row()];
    if (role == Qt::DisplayRole)
        return line.text().toString();
    if (role == RecordRole)
        return line.record();
    return {};
}

void ContactLineModel::setLines(std::vector<ContactLine> lines)
{
    beginResetModel();
    lines_ = std::move(lines);
    endResetModel();
}

void ContactLineModel::clear()
{
    setLines({});
}

int ContactLineModel::insertSorted(const QString& text)
{
    // The keys of the lines passed are worked out on the way: a paste is a handful of lines.
    const QString key = lineSortKey(text);
    const auto at = std::upper_bound(lines_.begin(), lines_.end(), key, [](const QString& k, const ContactLine& line) {
        return compareLineKeys(k, lineSortKey(line.text())) < 0;
    });
    const int row = static_cast<int>(at - lines_.begin());
    beginInsertRows({}, row, row);
    lines_.insert(at, ContactLine{text, 0});
    endInsertRows();
    return row;
}

void ContactLineModel::removeLines(QList<int> rows)
{
    std::sort(rows.begin(), rows.end(), std::greater<>());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    for (int row : rows) {
        if (row < 0 || row >= rowCount())
            continue;
        beginRemoveRows({}, row, row);
        lines_.erase(lines_.begin() + row);
        endRemoveRows();
    }
}

}  // namespace pw
