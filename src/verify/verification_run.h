#pragma once

#include <exception>
#include <functional>
#include <future>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_failure.h"
#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "report/line_writer.h"
#include "report/report_layout.h"
#include "report/report_log.h"
#include "verify/findings.h"
#include "verify/pair_outcome.h"
#include "verify/verify_job.h"

namespace brevo {

// One verification of one file pair. run() returns the outcome of a full run; a run that stops
// early throws: RunStopped (a lexical fault, a cancel), BrxFailure, FileFailure or
// std::bad_alloc. verifyPair() catches them.
class VerificationRun {
public:
    static constexpr int kProgressSteps = 24;

    VerificationRun(VerifyJob& job, RunProgress& progress);
    VerificationRun(const VerificationRun&) = delete;
    VerificationRun& operator=(const VerificationRun&) = delete;

    PairOutcome run();

    FindingCounts counts() const { return findings_.counts(); }
    // The findings kept as records, when the job asks for them; emptied by taking them.
    std::vector<Finding> takeFindings() { return std::move(kept_); }
    bool reportWritten() const { return reportWritten_; }
    // The steps a run that ended early did not reach, so that the batch's progress moves on.
    void skipRemainingSteps();

    const ReportLog& report() const { return report_; }
    const Findings& findings() const { return findings_; }

private:
    // The target read ahead while the source is checked, with the language its header named,
    // if it named a valid one, even when reading failed after that. When the target is
    // lexically clean, the work of its checks that depends neither on the source nor on the
    // report is done ahead too: its external tags classified and its internal tags extracted.
    struct LoadedFile {
        BrxDocument document;
        LanguageSettings header;  // its source language stays empty until the header sets it
        std::exception_ptr failure;
        bool prepared = false;
        int addedTagCount = 0;
    };

    void checkSource();
    std::string nameInReport(const std::string& path) const;
    void checkTarget();
    void compare();
    void loadFile(const std::string& path, BrxDocument& document);
    static LoadedFile readTarget(const std::string& path, FileFormat format, bool ahead);
    void startTargetLoad();
    void takeTarget();
    // Ends a pair whose files are not well formed; the report says which file was checked.
    [[noreturn]] void failIfAnyMessage(Side checked);

    void progressStep();
    // Runs `pass`; when it reported anything, its heading, underline and notes go in front of
    // it. True when it did.
    bool section(Heading heading, const std::function<void()>& pass,
                 std::vector<std::string_view> notes = {});
    void insertHeading(ReportLog::Position after, std::string_view heading,
                       const std::vector<std::string_view>& notes);
    void linkInternalTags(BrxDocument& document);
    void failIfAFileShrank() const;
    void writeReport();

    VerifyJob& job_;
    RunProgress& progress_;
    BrxDocument source_;
    BrxDocument target_;
    TagCountMap tagCounts_;
    ReportLog report_;
    ReportLineWriter writer_;
    Findings findings_;
    ReportLayout layout_;
    int addedTagCount_ = 0;
    bool reportNeeded_ = false;
    bool reportWritten_ = false;
    std::vector<Finding> kept_;
    int stepsLeft_ = kProgressSteps;
    bool targetPrepared_ = false;
    int targetAddedTagCount_ = 0;
    // The target as found, when it is read in its turn rather than on a thread.
    std::string targetInTurn_;
    // Declared last so that it is waited for before anything else goes.
    std::future<LoadedFile> targetLoad_;
};

// Verifies one pair and catches, once, whatever ended it early: the outcome is a value.
PairOutcome verifyPair(VerifyJob& job, RunProgress& progress);

namespace detail {
// "=" as long as the heading without its leading "\n", then "\n".
std::string underlineFor(std::string_view heading);
}  // namespace detail

}  // namespace brevo
