#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "report/report_log.h"

namespace brevo {

// Writes the report as text: every line followed by CR LF, every "\n" inside a line as CR LF.
// Replaces an existing file. Throws FileFailure when the file cannot be created or written.
void writeTextReport(const std::string& path, const ReportLog::Lines& lines);
// The same for a whole log, written piece by piece as its lines are read.
void writeTextReport(const std::string& path, const ReportLog& log);

// Writes `bytes` to `path`, replacing an existing file. Throws FileFailure.
void writeWholeFile(const std::string& path, const std::string& bytes);

// A file written in large blocks: reports can be far larger than is worth holding at once.
// Throws FileFailure, with the file's name, when it cannot be created or written.
class BlockFileWriter {
  public:
    explicit BlockFileWriter(const std::string& path);

    void write(std::string_view bytes);
    // Writes what is left and closes the file; a writer not closed leaves the file unfinished.
    void close();

  private:
    struct CloseFile {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    void flush();

    std::string path_;
    std::unique_ptr<std::FILE, CloseFile> file_;
    std::string buffer_;
};

}  // namespace brevo
