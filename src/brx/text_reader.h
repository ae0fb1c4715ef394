#pragma once

#include <cstddef>
#include <cstdint>
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

    // Calls sink.lineStart(n) where a line begins, with the number an editor shows for it;
    // sink.text(run) for each stretch of the line; and sink.lineBreak() once after it. Throws
    // FileFailure on a read error.
    template <typename Sink>
    void readAll(Sink& sink);

private:
    RegularFile file_;
    std::unique_ptr<char[]> buffer_ = std::make_unique_for_overwrite<char[]>(kBlockSize);
};

// A run of CR and LF bytes ends a line. A file that starts with a break has an empty first
// line, but only when some text follows; a last line without a break still gets one. Editors
// count every CR LF, lone CR and lone LF as a line of its own, blank ones included, and so do
// the line numbers.
template <typename Sink>
void TextReader::readAll(Sink& sink) {
    bool lineOpen = false;      // text of the current line has been handed on
    bool atStart = true;        // nothing read yet
    bool leadingBreak = false;  // the file began with a break, which becomes an empty line
    std::uint32_t line = 1;     // the editor's number of the line being read
    bool afterCr = false;       // an LF right after a CR ends no line of its own
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
                if (*p == '\r' || !afterCr) ++line;
                afterCr = *p == '\r';
                atStart = false;
                ++p;
                continue;
            }
            afterCr = false;
            if (leadingBreak) {
                sink.lineStart(1);
                sink.lineBreak();
                leadingBreak = false;
            }
            atStart = false;
            const char* const stop = findLineBreak(p, end);
            if (!lineOpen) sink.lineStart(line);
            sink.text(std::string_view(p, static_cast<std::size_t>(stop - p)));
            lineOpen = true;
            p = stop;
        }
    }
    if (lineOpen) sink.lineBreak();
}

}  // namespace brevo
