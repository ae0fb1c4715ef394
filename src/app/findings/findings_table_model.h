#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <cstddef>
#include <optional>
#include <vector>

#include "app/model/finding_rows.h"

namespace brevo::app {

// The findings of one pair of the batch as a table: number, severity, message and the line
// in each file. The pairs stay with their owner; the model reads the one it shows.
class FindingsTableModel : public QAbstractTableModel {
    Q_OBJECT

public:
    enum Column { NumberColumn, SeverityColumn, MessageColumn, SourceColumn, TargetColumn };
    static constexpr int kColumns = 5;
    // What the columns sort by: numbers as numbers, a missing line after every line.
    static constexpr int kSortRole = Qt::UserRole;

    explicit FindingsTableModel(const std::vector<PairFindings>& pairs, QObject* parent = nullptr);

    void showPair(std::optional<std::size_t> pair);
    std::optional<std::size_t> pair() const { return pair_; }
    const FindingRow* findingAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QVariant display(const FindingRow& row, int column) const;
    QVariant sortKey(const FindingRow& row, int column) const;

    const std::vector<PairFindings>& pairs_;
    std::optional<std::size_t> pair_;
};

// The table's rows that a FindingFilter accepts, sortable by every column.
class FindingsFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    explicit FindingsFilterModel(FindingsTableModel& source, QObject* parent = nullptr);

    void setFilter(FindingFilter filter);
    const FindingFilter& filter() const { return filter_; }

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    FindingsTableModel& source_;
    FindingFilter filter_;
};

}  // namespace brevo::app
