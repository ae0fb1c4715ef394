#pragma once

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>

#include "batch/batch_user.h"

namespace brevo::cli {

struct TerminalOptions {
    bool askQuestions = false;  // the overwrite question has someone to answer it
    bool drawProgress = false;  // standard error is a terminal
    bool quiet = false;         // the summary alone, without the results lines
    // Someone reads the results as they come (a terminal): each line goes out at once. Else
    // lines go out in bunches, a few times a second, rather than one write each.
    bool linesAtOnce = true;
};

// The batch's user as a terminal: results on stdout, bars and questions on stderr.
class TerminalUser : public BatchUser {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    TerminalUser(std::FILE* out, std::FILE* err, std::FILE* in, TerminalOptions options,
                 Clock clock = std::chrono::steady_clock::now);
    ~TerminalUser() override;
    TerminalUser(const TerminalUser&) = delete;
    TerminalUser& operator=(const TerminalUser&) = delete;

    void appendResultLine(std::string_view line) override;
    void startProgress(int stepsPerFile, int batchSteps) override;
    void startFile(std::string_view path) override;
    void stepProgress() override;
    void skipFileStep() override;
    void setFileProgress(int position) override;
    void setBatchProgress(int position) override;
    bool cancelRequested() override;
    OverwriteAnswer askOverwrite(std::string_view question) override;
    void showSummary(std::string_view text) override;
    void showStop(std::string_view text) override;

    // Existing reports left alone because there was no one to ask.
    int keptReports() const { return keptReports_; }

    // The errno of the first failed write of results or summary, or 0. After EPIPE, a pipe
    // nobody reads, the batch is cancelled.
    int outputError() const { return outputError_; }

    // Safe from a signal handler and from any thread.
    static void requestCancel();

private:
    OverwriteAnswer ask(std::string_view question);
    // After a cancel the bars stay where the batch stopped.
    bool stopped() const;
    // Redraws when the last drawing is old enough; drawBarsNow() whatever its age.
    void drawBars();
    void drawBarsNow();
    void clearBars();
    void leaveBars();
    // Adds the line to what goes out; `now` sends it all at once.
    void writeOut(std::string_view line, bool now = false);
    void flushOut();

    std::FILE* out_;
    std::FILE* err_;
    std::FILE* in_;
    TerminalOptions options_;
    Clock clock_;
    std::chrono::steady_clock::time_point lastDrawn_{};
    std::chrono::steady_clock::time_point lastWritten_{};
    std::string unwritten_;  // results lines not yet written
    bool everDrawn_ = false;
    bool barsShown_ = false;
    bool yesToAll_ = false;
    bool answeredCancel_ = false;
    int keptReports_ = 0;
    int outputError_ = 0;
    int stepsPerFile_ = 0;
    int batchSteps_ = 0;
    int fileStep_ = 0;
    int batchStep_ = 0;
    int fileNumber_ = 0;
    std::string fileName_;
};

}  // namespace brevo::cli
