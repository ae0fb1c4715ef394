#include "app/findings/findings_table_model.h"

#include <limits>

#include "app/findings/severity_look.h"

namespace brevo::app {
namespace {

int severityRank(Severity severity) {
    switch (severity) {
        case Severity::Alert:
            return 1;
        case Severity::Warning:
            return 2;
        case Severity::Error:
            break;
    }
    return 0;
}

QVariant lineOf(const std::optional<FindingSpot>& spot) {
    return spot ? QVariant(static_cast<qulonglong>(spot->line)) : QVariant(QString());
}

QVariant lineKey(const std::optional<FindingSpot>& spot) {
    return static_cast<qulonglong>(spot ? spot->line : std::numeric_limits<std::uint32_t>::max());
}

}  // namespace

FindingsTableModel::FindingsTableModel(const std::vector<PairFindings>& pairs, QObject* parent)
    : QAbstractTableModel(parent), pairs_(pairs) {}

void FindingsTableModel::showPair(std::optional<std::size_t> pair) {
    beginResetModel();
    pair_ = pair && *pair < pairs_.size() ? pair : std::nullopt;
    endResetModel();
}

const FindingRow* FindingsTableModel::findingAt(int row) const {
    if (!pair_ || row < 0) return nullptr;
    const std::vector<FindingRow>& rows = pairs_[*pair_].rows;
    return static_cast<std::size_t>(row) < rows.size() ? &rows[static_cast<std::size_t>(row)]
                                                       : nullptr;
}

int FindingsTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || !pair_) return 0;
    return static_cast<int>(pairs_[*pair_].rows.size());
}

int FindingsTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant FindingsTableModel::display(const FindingRow& row, int column) const {
    switch (column) {
        case NumberColumn:
            return row.number;
        case SeverityColumn:
            return severityText(row.severity);
        case MessageColumn:
            return QString::fromStdString(row.message);
        case SourceColumn:
            return lineOf(row.source);
        case TargetColumn:
            return lineOf(row.target);
        default:
            return {};
    }
}

QVariant FindingsTableModel::sortKey(const FindingRow& row, int column) const {
    switch (column) {
        case SeverityColumn:
            // Equal severities stay in report order.
            return severityRank(row.severity) * 10'000'000LL + row.number;
        case SourceColumn:
            return lineKey(row.source);
        case TargetColumn:
            return lineKey(row.target);
        default:
            return display(row, column);
    }
}

QVariant FindingsTableModel::data(const QModelIndex& index, int role) const {
    const FindingRow* row = findingAt(index.row());
    if (row == nullptr || !index.isValid()) return {};
    const int column = index.column();
    switch (role) {
        case Qt::DisplayRole:
            return display(*row, column);
        case kSortRole:
            return sortKey(*row, column);
        case Qt::ToolTipRole:
            return column == MessageColumn ? display(*row, column) : QVariant();
        case Qt::AccessibleTextRole:
            // A screen reader hears the severity with the message.
            return column == MessageColumn ? severityText(row->severity) + QStringLiteral(": ") +
                                                 QString::fromStdString(row->message)
                                           : display(*row, column).toString();
        case Qt::DecorationRole:
            return column == SeverityColumn ? severityIcon(row->severity) : QVariant();
        case Qt::ForegroundRole:
            return column == SeverityColumn ? severityColour(row->severity) : QVariant();
        case Qt::TextAlignmentRole:
            return column == MessageColumn || column == SeverityColumn
                       ? QVariant(Qt::AlignLeft | Qt::AlignVCenter)
                       : QVariant(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return {};
    }
}

QVariant FindingsTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case NumberColumn:
            return tr("No.");
        case SeverityColumn:
            return tr("Severity");
        case MessageColumn:
            return tr("Message");
        case SourceColumn:
            return tr("Source line");
        case TargetColumn:
            return tr("Target line");
        default:
            return {};
    }
}

FindingsFilterModel::FindingsFilterModel(FindingsTableModel& source, QObject* parent)
    : QSortFilterProxyModel(parent), source_(source) {
    setSourceModel(&source);
    setSortRole(FindingsTableModel::kSortRole);
}

void FindingsFilterModel::setFilter(FindingFilter filter) {
    filter_ = std::move(filter);
    invalidateRowsFilter();
}

bool FindingsFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const {
    const FindingRow* row = source_.findingAt(sourceRow);
    return row != nullptr && filter_.accepts(*row);
}

}  // namespace brevo::app
