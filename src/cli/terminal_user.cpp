#include "cli/terminal_user.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>

#include "base/file_names.h"
#include "base/terminal.h"

namespace brevo::cli {
namespace {

// Set from a signal handler, or on Windows from the console's own thread.
std::atomic<bool> cancelFlag{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// A terminal redraws a line fast, but not thousands of times a second.
constexpr std::chrono::milliseconds kRedrawInterval{100};
constexpr std::size_t kLongestName = 32;
// Results lines that nobody watches go out at least this often, and in writes of this size.
constexpr std::chrono::milliseconds kWriteInterval{100};
constexpr std::size_t kWriteSize = 64 * 1024;

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

std::string shownName(std::string_view path) {
    std::string_view name = path.substr(directoryOf(path).size());
    if (name.size() <= kLongestName) return std::string(name);
    return "..." + std::string(name.substr(name.size() - (kLongestName - 3)));
}

char firstLetter(const std::string& answer) {
    const auto at = std::find_if_not(answer.begin(), answer.end(),
                                     [](unsigned char c) { return std::isspace(c); });
    return at == answer.end() ? '\0'
                              : static_cast<char>(std::tolower(static_cast<unsigned char>(*at)));
}

}  // namespace

void TerminalUser::requestCancel() {
    cancelFlag = true;
}

TerminalUser::TerminalUser(std::FILE* out, std::FILE* err, std::FILE* in, TerminalOptions options,
                           Clock clock)
    : out_(out), err_(err), in_(in), options_(options), clock_(std::move(clock)) {}

TerminalUser::~TerminalUser() {
    flushOut();
}

void TerminalUser::appendResultLine(std::string_view line) {
    if (options_.quiet) return;
    clearBars();
    writeOut(line);
    drawBars();
}

void TerminalUser::startProgress(int stepsPerFile, int batchSteps) {
    stepsPerFile_ = stepsPerFile;
    batchSteps_ = batchSteps;
    fileStep_ = batchStep_ = fileNumber_ = 0;
}

void TerminalUser::startFile(std::string_view path) {
    fileStep_ = 0;
    ++fileNumber_;
    fileName_ = shownName(path);
    drawBars();
}

void TerminalUser::stepProgress() {
    if (stopped()) return;
    fileStep_ = std::min(fileStep_ + 1, stepsPerFile_);
    skipFileStep();
}

void TerminalUser::skipFileStep() {
    if (stopped()) return;
    batchStep_ = std::min(batchStep_ + 1, batchSteps_);
    drawBars();
}

void TerminalUser::setFileProgress(int position) {
    if (stopped()) return;
    fileStep_ = position;
    drawBars();
}

void TerminalUser::setBatchProgress(int position) {
    if (stopped()) return;
    batchStep_ = position;
    drawBars();
}

bool TerminalUser::cancelRequested() {
    return cancelFlag;
}

bool TerminalUser::stopped() const {
    return cancelFlag || answeredCancel_;
}

OverwriteAnswer TerminalUser::askOverwrite(std::string_view question) {
    if (yesToAll_) return OverwriteAnswer::Yes;
    // Without a terminal to ask, an existing report is kept.
    if (!options_.askQuestions) {
        ++keptReports_;
        return OverwriteAnswer::No;
    }
    const OverwriteAnswer answer = ask(question);
    if (answer == OverwriteAnswer::Cancel) answeredCancel_ = true;
    return answer;
}

OverwriteAnswer TerminalUser::ask(std::string_view question) {
    // The question follows the lines before it, also where both streams go to one place.
    flushOut();
    clearBars();
    for (;;) {
        writeText(err_, question);
        writeText(err_, "\n[y]es, [n]o, [a]ll remaining, [c]ancel? ");
        std::fflush(err_);
        std::string answer;
        int c;
        while ((c = std::fgetc(in_)) != EOF && c != '\n') answer += static_cast<char>(c);
        if (c == EOF && answer.empty()) return OverwriteAnswer::Cancel;
        switch (firstLetter(answer)) {
            case 'y':
                return OverwriteAnswer::Yes;
            case 'n':
                return OverwriteAnswer::No;
            case 'a':
                yesToAll_ = true;
                return OverwriteAnswer::Yes;
            case 'c':
                return OverwriteAnswer::Cancel;
            default:
                break;
        }
    }
}

void TerminalUser::showSummary(std::string_view text) {
    leaveBars();
    writeOut(text, true);
}

void TerminalUser::writeOut(std::string_view line, bool now) {
    if (outputError_ != 0) return;
    unwritten_.append(line).push_back('\n');
    if (now || options_.linesAtOnce || unwritten_.size() >= kWriteSize ||
        clock_() - lastWritten_ >= kWriteInterval) {
        flushOut();
    }
}

void TerminalUser::flushOut() {
    if (outputError_ != 0 || unwritten_.empty()) return;
    outputError_ = writeAndFlush(out_, unwritten_);
    unwritten_.clear();
    lastWritten_ = clock_();
    // Whoever read the results went away: there is no one left to verify for.
    if (outputError_ == EPIPE) requestCancel();
}

void TerminalUser::showStop(std::string_view text) {
    showSummary(text);
}

void TerminalUser::drawBars() {
    if (everDrawn_ && clock_() - lastDrawn_ < kRedrawInterval) return;
    drawBarsNow();
}

void TerminalUser::drawBarsNow() {
    if (!options_.drawProgress || batchSteps_ == 0 || fileNumber_ == 0) return;
    lastDrawn_ = clock_();
    everDrawn_ = true;
    const int fileCount = stepsPerFile_ > 0 ? batchSteps_ / stepsPerFile_ : 0;
    const std::string line = "\r\033[K" + std::to_string(fileNumber_) + "/" +
                             std::to_string(fileCount) + " " + fileName_ + "  file " +
                             bar(fileStep_, stepsPerFile_, 24) + "  batch " +
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

// The last state of the bars stays on the screen, above the summary.
void TerminalUser::leaveBars() {
    drawBarsNow();
    if (barsShown_) writeText(err_, "\n");
    barsShown_ = false;
    options_.drawProgress = false;
}

}  // namespace brevo::cli
