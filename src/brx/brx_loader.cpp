#include "brx/brx_loader.h"

#include <cstdint>
#include <new>
#include <optional>
#include <string_view>

#include "base/file_status.h"
#include "base/memory_advice.h"
#include "brx/bracket_scan.h"
#include "brx/failure.h"
#include "brx/line_reader.h"
#include "brx/rtf_reader.h"
#include "brx/text_reader.h"

namespace brevo {
namespace {

constexpr std::size_t kHeaderLines = 4;
// Fewer bytes than real files have per external tag: a guess too high would copy the list.
constexpr std::uintmax_t kBytesPerSegmentGuess = 24;

void checkFirstLine(std::string_view line) {
    if (line.starts_with("<brx \"I2.00\">")) return;
    if (line.starts_with("<brx \"I")) fail(BrxError::NewerVersion);
    if (line.starts_with("<brx \"F") || line == "<tf>") fail(BrxError::FrameMakerFile);
    fail(BrxError::NotBrx);
}

// Cuts text into segments as it comes, one external tag and the text after it each. Only the
// character after a "<" can start a segment, so runs without brackets are taken whole. The
// text goes straight into the document's store; a segment is the stretch of it that was open
// when the next external tag began.
class SegmentCutter {
public:
    explicit SegmentCutter(BrxDocument& document)
        : segments_(document.segments),
          lines_(document.segmentLines),
          gaps_(document.lineGaps),
          text_(document.text) {}

    // A line that is numbered by the lines before it, as RTF paragraphs are.
    void addLine(std::string_view line) {
        lineStart(line_ + 1);
        take(line);
        endLine();
    }

    // The line whose text comes next.
    void lineStart(std::uint32_t line) {
        line_ = line;
        if (openLine_ == 0) openLine_ = line;
        ++textLine_;
        if (line - textLine_ != skipped_) {
            skipped_ = line - textLine_;
            gaps_.push_back(LineGap{textLine_, skipped_});
        }
    }

    // A stretch of a line, for text that comes in pieces.
    void take(std::string_view text) {
        const char* p = text.data();
        const char* const end = p + text.size();
        while (p < end) {
            if (previous_ == '<' || *p == '<' || *p == '>') {
                takeCharacter(*p++);
                continue;
            }
            const char* const start = p;
            p = findBracket(p, end);
            text_.append(start, static_cast<std::size_t>(p - start));
            previous_ = p[-1];
        }
    }

    void endLine() { takeCharacter('\n'); }

    void finish() {
        if (tagLength_ != 0) {
            addSegment(text_.open().size());
        } else if (!text_.open().empty()) {
            if (segments_.empty()) {
                addSegment(text_.open().size());
            } else {
                segments_.back().text = text_.takeJoined(segments_.back().text);
            }
        }
        tagLength_ = 0;
    }

private:
    void takeCharacter(char c) {
        text_.push_back(c);
        if (c == '<') {
            // The first segment is where the file's first tag is.
            if (!seenTag_ && depth_ == 0) openLine_ = line_;
            ++depth_;
        } else if (c == '>') {
            if (depth_ == 1 && tagLength_ == 0) {
                // The tag is everything open so far.
                const std::size_t length = text_.open().size();
                if (length > UINT32_MAX) throw std::bad_alloc();
                tagLength_ = static_cast<std::uint32_t>(length);
                seenTag_ = true;
            }
            --depth_;
        }
        if (previous_ == '<' && c != ':' && seenTag_) cut();
        previous_ = c;
    }

    // An external tag has begun: everything before its "<" is the last segment.
    void cut() {
        addSegment(text_.open().size() - 2);
        depth_ = 1;
        // A "<" that ends a line is cut at the break, before the next line starts.
        openLine_ = line_;
    }

    void addSegment(std::size_t size) {
        Segment& segment = segments_.emplace_back();
        segment.text = text_.take(size);
        segment.tagLength = tagLength_;
        tagLength_ = 0;
        lines_.push_back(openLine_);
    }

    std::vector<Segment>& segments_;
    std::vector<std::uint32_t>& lines_;
    std::vector<LineGap>& gaps_;
    TextStore& text_;
    std::uint32_t line_ = 0;       // the line being cut
    std::uint32_t textLine_ = 0;   // its number among the lines of the text
    std::uint32_t skipped_ = 0;    // blank lines before it
    std::uint32_t openLine_ = 0;   // where the open segment began
    std::uint32_t tagLength_ = 0;  // 0 until the open text's tag has closed
    int depth_ = 0;
    char previous_ = ' ';
    bool seenTag_ = false;
};

// Room for the segments and the text a file of this size usually has, so that neither is
// copied again and again while it grows. Room that is not used is never touched, so costs no
// memory.
void reserveForFile(const std::string& path, BrxDocument& document) {
    const std::optional<std::uint64_t> found = fileSize(path);
    if (!found) return;
    const std::uint64_t size = *found;
    std::vector<Segment>& segments = document.segments;
    segments.reserve(segments.size() + static_cast<std::size_t>(size / kBytesPerSegmentGuess));
    adviseBigPages(segments);
    document.segmentLines.reserve(segments.capacity());
    // A line break becomes one line feed and RTF markup goes, so the text is rarely longer
    // than the file; the final line may gain a line feed.
    document.text.reserve(static_cast<std::size_t>(size) + 1);
}

// Takes the text of a file as TextReader hands it on: into the cutter, and its first lines
// into `header`.
class TextSink {
public:
    TextSink(SegmentCutter& cutter, std::vector<std::string>& header)
        : cutter_(cutter), header_(header) {}

    void lineStart(std::uint32_t line) { cutter_.lineStart(line); }
    void text(std::string_view run) {
        if (header_.size() < kHeaderLines) line_ += run;
        cutter_.take(run);
    }
    void lineBreak() {
        if (header_.size() < kHeaderLines) header_.push_back(std::move(line_));
        line_.clear();
        cutter_.endLine();
    }

private:
    SegmentCutter& cutter_;
    std::vector<std::string>& header_;
    std::string line_;
};

}  // namespace

void detail::validateHeader(const std::vector<std::string>& lines, LanguageSettings& languages) {
    if (lines.empty()) fail(BrxError::UnexpectedEnd);
    checkFirstLine(lines[0]);

    if (lines.size() < 2) fail(BrxError::UnexpectedEnd);
    const std::string& language = lines[1];
    if (!language.starts_with("<language \"") || language.size() < 13) {
        fail(BrxError::MissingLanguage);
    }
    // The last two characters go whatever they are.
    std::string name = language.substr(11, language.size() - 13);
    if (!setSourceLanguage(languages, name)) fail(BrxError::InvalidLanguage);

    if (lines.size() < 3) fail(BrxError::UnexpectedEnd);
    if (lines[2] != "<quotes \"As text\">" && lines[2] != "<quotes \"As tags\">") {
        fail(BrxError::MissingQuotes);
    }
    if (lines.size() < 4) fail(BrxError::UnexpectedEnd);
    if (lines[3] != "<readonly \"Translate\">" && lines[3] != "<readonly \"Don't translate\">") {
        fail(BrxError::MissingReadOnly);
    }
}

void detail::readLines(const std::string& path, FileFormat format,
                       const std::function<void(std::string_view)>& onLine) {
    if (format == FileFormat::Rtf) {
        readRtfLines(path, onLine);
        return;
    }
    LineReader reader;
    reader.open(path);
    std::string line;
    while (reader.readLine(line)) onLine(line);
}

void detail::readBrxFile(const std::string& path, FileFormat format, LanguageSettings& languages,
                         std::vector<std::string>& lines) {
    readLines(path, format, [&lines](std::string_view line) { lines.emplace_back(line); });
    validateHeader(lines, languages);
}

void readBrxSegments(const std::string& path, FileFormat format, LanguageSettings& languages,
                     BrxDocument& document) {
    std::vector<std::string> header;
    reserveForFile(path, document);
    SegmentCutter cutter(document);
    if (format == FileFormat::Text) {
        TextReader reader;
        reader.open(path);
        TextSink sink(cutter, header);
        reader.readAll(sink);
    } else {
        readRtfLines(path, [&](std::string_view line) {
            if (header.size() < kHeaderLines) header.emplace_back(line);
            cutter.addLine(line);
        });
    }
    // Only the first lines are kept, which is all the header check looks at.
    detail::validateHeader(header, languages);
    cutter.finish();
}

void detail::segmentLines(const std::vector<std::string>& lines, BrxDocument& document) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 1;
    document.text.reserve(size);
    SegmentCutter cutter(document);
    for (const std::string& line : lines) cutter.addLine(line);
    cutter.finish();
}

}  // namespace brevo
