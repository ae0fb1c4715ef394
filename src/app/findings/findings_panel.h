#pragma once

#include <QWidget>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "app/model/finding_rows.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace brevo::app {

class Dialogs;
class ElidedLabel;
class FindingsFilterModel;
class FindingsTableModel;
class SideBySideView;

// The findings of the batch: a table of one file's findings with filters by severity and text
// and a count per severity; a finding opens beside the two texts, and F8 / Shift+F8 walk
// through the findings of every file.
class FindingsPanel : public QWidget {
    Q_OBJECT

public:
    explicit FindingsPanel(Dialogs& dialogs, QWidget* parent = nullptr);
    ~FindingsPanel() override;

    // A pair of the batch, as it ends; its index.
    std::size_t addPair(const PairRecord& record, FileFormat format);
    void clear();
    const std::vector<PairFindings>& pairs() const { return pairs_; }

    void showPair(std::optional<std::size_t> pair);
    std::optional<std::size_t> shownPair() const;
    // The pair added from `record`, by the record's address.
    std::optional<std::size_t> pairOf(const PairRecord* record) const;

    // Shows the finding in the table and beside the texts.
    void openFinding(FindingPlace place);
    void openCurrentRow();
    void nextFinding();
    void previousFinding();
    std::optional<FindingPlace> openedFinding() const { return opened_; }

    QTableView& table() { return *table_; }
    QLineEdit& filterEdit() { return *filterEdit_; }
    QCheckBox& errorsBox() { return *errorsBox_; }
    QCheckBox& alertsBox() { return *alertsBox_; }
    QCheckBox& warningsBox() { return *warningsBox_; }
    SideBySideView& sideBySide() { return *sideBySide_; }
    const FindingsFilterModel& rows() const { return *filtered_; }

signals:
    // The pair whose findings the table shows changed.
    void pairShown(std::optional<std::size_t> pair);

private:
    void applyFilter();
    void showCounts();
    void step(Direction direction);
    std::optional<FindingPlace> currentPlace() const;
    void addShortcuts(QWidget& window);

    Dialogs& dialogs_;
    std::vector<PairFindings> pairs_;
    std::vector<const PairRecord*> records_;
    std::optional<FindingPlace> opened_;
    FindingsTableModel* model_;
    FindingsFilterModel* filtered_;
    ElidedLabel* fileLabel_;
    QCheckBox* errorsBox_;
    QCheckBox* alertsBox_;
    QCheckBox* warningsBox_;
    QLineEdit* filterEdit_;
    QTableView* table_;
    SideBySideView* sideBySide_;
};

}  // namespace brevo::app
