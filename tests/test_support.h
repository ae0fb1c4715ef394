#pragma once

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_failure.h"
#include "batch/batch_user.h"
#include "brx/document.h"
#include "brx/language_table.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "verify/findings.h"

namespace brevo::test {

// A fresh directory under the system's temporary directory, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The directory with its trailing separator, as the job wants it.
    std::string dir() const;
    // Writes `bytes` to `name` (UTF-8, "/" between directories) under the directory, which it
    // makes as needed; returns the file's name as the core takes it.
    std::string write(const std::string& name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string readFile(const std::filesystem::path& path);
std::string readFile(const std::string& path);

// A name as the core holds it (UTF-8 on Windows) as a path of the file system library.
std::filesystem::path fsPath(const std::string& path);

// What writing into a directory that does not exist fails with: Windows tells a path that
// leads nowhere from a file that is missing.
#if defined(_WIN32)
inline constexpr FileErrorCause kNoSuchDirectory = FileErrorCause::BadPath;
#else
inline constexpr FileErrorCause kNoSuchDirectory = FileErrorCause::NotFound;
#endif

// A batch's user that keeps the results lines and answers every question with yes.
class LogUser : public BatchUser {
public:
    void appendResultLine(std::string_view line) override { lines.emplace_back(line); }
    void startProgress(int, int) override {}
    void startFile(std::string_view) override {}
    void stepProgress() override {}
    void skipFileStep() override {}
    void setFileProgress(int) override {}
    void setBatchProgress(int) override {}
    bool cancelRequested() override { return false; }
    OverwriteAnswer askOverwrite(std::string_view) override { return OverwriteAnswer::Yes; }
    void showSummary(std::string_view) override {}
    void showStop(std::string_view) override {}

    std::vector<std::string> lines;
};

// A text report with its writer and findings, for running one pass.
struct PassReport {
    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer{log, FileFormat::Text, languages};
    Findings findings{writer};

    std::vector<std::string> lines() const { return {log.lines().begin(), log.lines().end()}; }
};

// Keeps a copy of `text` for the rest of the test program and returns a view of it, for
// segments and tags made by hand, whose views must outlive the strings they were made from.
std::string_view keepText(std::string_view text);

// A segment made by hand: its tag followed by `rest`.
Segment segmentWithTag(std::string_view tag, std::string_view rest);
// A segment made by hand whose tag is not at the start of its text, as damage can leave it.
Segment segmentWithForeignTag(std::string_view tag, std::string_view text);

// The segments the loader cuts `lines` into; their text is kept as keepText keeps it.
std::vector<Segment> segmentsOf(const std::vector<std::string>& lines);

// A BRX file: the four header lines with `language`, then `body`, with LF line ends.
std::string brxText(std::string_view body, std::string_view language = "German");

}  // namespace brevo::test
