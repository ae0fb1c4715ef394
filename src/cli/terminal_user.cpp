#include "cli/terminal_user.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <csignal>

namespace brevo::cli {
namespace {

volatile std::sig_atomic_t cancelFlag = 0;

std::string bar(int done, int total, int width) {
    int filled = total > 0 ? std::clamp(done * width / total, 0, width) : 0;
    std::string drawn(1, '[');
    drawn.append(static_cast<std::size_t>(filled), '#');
    drawn.append(static_cast<std::size_t>(width - filled), '.');
    drawn += ']';
    return drawn;
}

void writeText(std::FILE* file, std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), file);
}

}  // namespace

void TerminalUser::requestCancel() {
    cancelFlag = 1;
}

TerminalUser::TerminalUser(std::FILE* out, std::FILE* err, std::FILE* in, bool overwriteQuestions)
    : out_(out),
      err_(err),
      in_(in),
      drawProgress_(::isatty(::fileno(err)) != 0),
      askQuestions_(overwriteQuestions && ::isatty(::fileno(in)) != 0) {}

void TerminalUser::appendResultLine(std::string_view line) {
    clearBars();
    writeText(out_, line);
    writeText(out_, "\n");
    std::fflush(out_);
    drawBars();
}

void TerminalUser::startProgress(int stepsPerFile, int batchSteps) {
    stepsPerFile_ = stepsPerFile;
    batchSteps_ = batchSteps;
    fileStep_ = batchStep_ = 0;
}

void TerminalUser::startFile() {
    fileStep_ = 0;
}

void TerminalUser::stepProgress(bool batchBarOnly) {
    if (!batchBarOnly) fileStep_ = std::min(fileStep_ + 1, stepsPerFile_);
    batchStep_ = std::min(batchStep_ + 1, batchSteps_);
    drawBars();
}

void TerminalUser::setFileProgress(int position) {
    fileStep_ = position;
    drawBars();
}

void TerminalUser::setBatchProgress(int position) {
    batchStep_ = position;
    drawBars();
}

bool TerminalUser::cancelRequested() {
    return cancelFlag != 0;
}

OverwriteAnswer TerminalUser::askOverwrite(std::string_view question) {
    // Without a terminal to ask, an existing report is kept.
    if (!askQuestions_) return OverwriteAnswer::No;
    clearBars();
    for (;;) {
        writeText(err_, question);
        writeText(err_, "\n[y]es, [n]o, [c]ancel? ");
        std::fflush(err_);
        std::string answer;
        int c;
        while ((c = std::fgetc(in_)) != EOF && c != '\n') answer += static_cast<char>(c);
        if (c == EOF && answer.empty()) return OverwriteAnswer::Cancel;
        const char first =
            answer.empty() ? '\0'
                           : static_cast<char>(std::tolower(static_cast<unsigned char>(answer[0])));
        if (first == 'y') return OverwriteAnswer::Yes;
        if (first == 'n') return OverwriteAnswer::No;
        if (first == 'c') return OverwriteAnswer::Cancel;
    }
}

void TerminalUser::showSummary(std::string_view text) {
    clearBars();
    drawProgress_ = false;
    writeText(out_, text);
    writeText(out_, "\n");
    std::fflush(out_);
}

void TerminalUser::showStop(std::string_view text) {
    showSummary(text);
}

void TerminalUser::drawBars() {
    if (!drawProgress_ || batchSteps_ == 0) return;
    std::string line = "\rfile " + bar(fileStep_, stepsPerFile_, 24) + "  batch " +
                       bar(batchStep_, batchSteps_, 40);
    writeText(err_, line);
    std::fflush(err_);
    barsShown_ = true;
}

void TerminalUser::clearBars() {
    if (!barsShown_) return;
    writeText(err_, "\r\033[K");
    std::fflush(err_);
    barsShown_ = false;
}

}  // namespace brevo::cli
