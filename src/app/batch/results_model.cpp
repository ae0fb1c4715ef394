#include "app/batch/results_model.h"

#include <algorithm>

#include "app/platform/qt_text.h"

namespace brevo::app {

int ResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(log_.size());
}

QVariant ResultsModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount()) return {};
    return fromLine(log_.lines()[static_cast<std::size_t>(index.row())]);
}

void ResultsModel::append(std::string line) {
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row);
    log_.append(std::move(line));
    endInsertRows();
}

void ResultsModel::add(const ResultsEntries& entries) {
    const auto lines = std::count_if(entries.begin(), entries.end(), [](const ResultsEntry& entry) {
        return entry.kind == ResultsEntry::Kind::Line;
    });
    if (lines == 0) {
        log_.add(entries);
        return;
    }
    const int row = rowCount();
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(lines) - 1);
    log_.add(entries);
    endInsertRows();
}

void ResultsModel::clear() {
    beginResetModel();
    log_.clear();
    endResetModel();
}

}  // namespace brevo::app
