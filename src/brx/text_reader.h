#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "base/file_failure.h"
#include "base/regular_file.h"
#include "brx/bracket_scan.h"

namespace brevo {

// Reads a text BRX file with the line breaks of LineReader, but hands on its text as the
// loader wants it rather than line by line: each line followed by one line feed, in runs as
// they lie in large blocks, so that no line is ever copied on its own.
class TextReader {
public:
    static constexpr std::size_t kBlockSize = 64 * 1024;

    // Throws FileFailure when the file cannot be opened or is no regular file.
    void open(const std::string& path) { file_.open(path); }

    // Calls sink.text(run) for each stretch of a line and sink.lineBreak() once after each
    // line. Throws FileFailure on a read error.
    template <typename Sink>
    void readAll(Sink& sink);

private:
    RegularFile file_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
};

// A run of CR and LF bytes ends a line. A file that starts with a break has an empty first
// line, but only when some text follows; a last line without a break still gets one.
template <typename Sink>
void TextReader::readAll(Sink& sink) {
    bool lineOpen = false;      // text of the current line has been handed on
    bool atStart = true;        // nothing read yet
    bool leadingBreak = false;  // the file began with a break, which becomes an empty line
    while (const std::size_t count = file_.read(buffer_.get(), kBlockSize)) {
        const char* p = buffer_.get();
        const char* const end = p + count;
        while (p < end) {
            if (*p == '\r' || *p == '\n') {
                if (lineOpen) {
                    sink.lineBreak();
                    lineOpen = false;
                } else if (atStart) {
                    leadingBreak = true;
                }
                atStart = false;
                ++p;
                continue;
            }
            if (leadingBreak) {
                sink.lineBreak();
                leadingBreak = false;
            }
            atStart = false;
            const char* const stop = findLineBreak(p, end);
            sink.text(std::string_view(p, static_cast<std::size_t>(stop - p)));
            lineOpen = true;
            p = stop;
        }
    }
    if (lineOpen) sink.lineBreak();
}

}  // namespace brevo
