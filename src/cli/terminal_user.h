#pragma once

#include <cstdio>
#include <string>

#include "batch/batch_user.h"

namespace brevo::cli {

// The batch's user as a terminal: results on stdout, bars and questions on stderr.
class TerminalUser : public BatchUser {
public:
    TerminalUser(std::FILE* out, std::FILE* err, std::FILE* in, bool overwriteQuestions);

    void appendResultLine(std::string_view line) override;
    void startProgress(int stepsPerFile, int batchSteps) override;
    void startFile() override;
    void stepProgress(bool batchBarOnly) override;
    void setFileProgress(int position) override;
    void setBatchProgress(int position) override;
    bool cancelRequested() override;
    OverwriteAnswer askOverwrite(std::string_view question) override;
    void showSummary(std::string_view text) override;
    void showStop(std::string_view text) override;

    // Set from a signal handler.
    static void requestCancel();

private:
    void drawBars();
    void clearBars();

    std::FILE* out_;
    std::FILE* err_;
    std::FILE* in_;
    bool drawProgress_;
    bool askQuestions_;
    int stepsPerFile_ = 0;
    int batchSteps_ = 0;
    int fileStep_ = 0;
    int batchStep_ = 0;
    bool barsShown_ = false;
};

}  // namespace brevo::cli
