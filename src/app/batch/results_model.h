#pragma once

#include <QAbstractListModel>

#include "app/model/results_log.h"

namespace brevo::app {

// The results list as a model over the running log: one row per results line, each row of a
// pair knowing the pair's record.
class ResultsModel : public QAbstractListModel {
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

    void append(std::string line);
    // The rows of all the lines among them arrive at once.
    void add(const ResultsEntries& entries);
    void clear();

    const ResultsLog& log() const { return log_; }

private:
    ResultsLog log_;
};

}  // namespace brevo::app
