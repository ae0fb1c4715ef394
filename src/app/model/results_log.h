#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_user.h"

namespace brevo::app {

// What a batch wrote, in order: a results line, the start of a pair, or the record that ends it.
struct ResultsEntry {
    enum class Kind { Line, PairStart, PairEnd };
    Kind kind = Kind::Line;
    std::string line;
    std::shared_ptr<const PairRecord> record;
};
using ResultsEntries = std::vector<ResultsEntry>;

// The running log of the Verify page: the results lines as the batch wrote them, and for the
// lines of each pair the pair's record, so that a line leads to its report and its findings
// without reading its text.
class ResultsLog {
public:
    using Record = std::shared_ptr<const PairRecord>;

    void append(std::string line);
    void add(const ResultsEntries& entries);
    // The next line is the first of a pair.
    void startPair();
    // The lines since startPair() belong to `record`.
    void finishPair(Record record);
    void clear();

    std::size_t size() const { return lines_.size(); }
    const std::vector<std::string>& lines() const { return lines_; }
    // The record of the pair that line `row` belongs to; none for the lines between pairs.
    const PairRecord* recordOfRow(std::size_t row) const;
    // The report of that pair, when it exists on disk (written now or by an earlier batch).
    std::optional<std::string> reportOfRow(std::size_t row) const;

private:
    std::vector<std::string> lines_;
    std::vector<int> pairOfLine_;  // index into records_, or -1
    std::vector<Record> records_;
    std::optional<std::size_t> pairStart_;
};

}  // namespace brevo::app
