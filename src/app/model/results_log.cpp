#include "app/model/results_log.h"

#include "base/path_lookup.h"

namespace brevo::app {

void ResultsLog::append(std::string line) {
    lines_.push_back(std::move(line));
    pairOfLine_.push_back(-1);
}

void ResultsLog::add(const ResultsEntries& entries) {
    for (const ResultsEntry& entry : entries) {
        switch (entry.kind) {
            case ResultsEntry::Kind::Line:
                append(entry.line);
                break;
            case ResultsEntry::Kind::PairStart:
                startPair();
                break;
            case ResultsEntry::Kind::PairEnd:
                finishPair(entry.record);
                break;
        }
    }
}

void ResultsLog::startPair() {
    pairStart_ = lines_.size();
}

void ResultsLog::finishPair(Record record) {
    if (!pairStart_ || !record) return;
    const int index = static_cast<int>(records_.size());
    records_.push_back(std::move(record));
    for (std::size_t row = *pairStart_; row < pairOfLine_.size(); ++row) pairOfLine_[row] = index;
    pairStart_.reset();
}

void ResultsLog::clear() {
    lines_.clear();
    pairOfLine_.clear();
    records_.clear();
    pairStart_.reset();
}

const PairRecord* ResultsLog::recordOfRow(std::size_t row) const {
    if (row >= pairOfLine_.size() || pairOfLine_[row] < 0) return nullptr;
    return records_[static_cast<std::size_t>(pairOfLine_[row])].get();
}

std::optional<std::string> ResultsLog::reportOfRow(std::size_t row) const {
    const PairRecord* record = recordOfRow(row);
    if (record == nullptr || !fileExists(record->reportPath)) return std::nullopt;
    return record->reportPath;
}

}  // namespace brevo::app
