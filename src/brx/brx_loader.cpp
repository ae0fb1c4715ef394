#include "brx/brx_loader.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string_view>

#include "base/file_mapping.h"
#include "base/file_status.h"
#include "base/memory_advice.h"
#include "base/regular_file.h"
#include "brx/bracket_scan.h"
#include "brx/failure.h"
#include "brx/line_reader.h"
#include "brx/rtf_reader.h"

namespace brevo {
namespace {

constexpr std::size_t kHeaderLines = 4;
// Fewer bytes than real files have per external tag: a guess too high would copy the list.
constexpr std::uintmax_t kBytesPerSegmentGuess = 24;
// A file this large is read in place, mapped: it is not copied, and the memory it is read into
// needs no clearing. A smaller one is read, into memory that a batch reuses.
constexpr std::uint64_t kMapFilesFrom = 1 << 20;

void checkFirstLine(std::string_view line) {
    if (line.starts_with("<brx \"I2.00\">")) return;
    if (line.starts_with("<brx \"I")) fail(BrxError::NewerVersion);
    if (line.starts_with("<brx \"F") || line == "<tf>") fail(BrxError::FrameMakerFile);
    fail(BrxError::NotBrx);
}

// Cuts text into segments as it comes, one external tag and the text after it each. Only the
// character after a "<" can start a segment, so stretches without brackets are passed over
// whole. The text is filled straight into the document's store; a segment is the stretch of it
// that was open when the next external tag began. The first lines go to `header` as well.
class SegmentCutter {
public:
    SegmentCutter(BrxDocument& document, std::vector<std::string>& header)
        : segments_(document.segments),
          lines_(document.segmentLines),
          gaps_(document.lineGaps),
          internalTags_(document.internalTags),
          text_(document.text),
          header_(header) {}

    // A decoded line, numbered by the lines before it, as RTF paragraphs are. Its bytes are all
    // text, line feeds and carriage returns included.
    void addLine(std::string_view line) {
        lineStart(line_ + 1);
        if (header_.size() < kHeaderLines) header_.emplace_back(line);
        char* const start = text_.room(line.size() + 1);
        std::char_traits<char>::copy(start, line.data(), line.size());
        start[line.size()] = '\n';
        char* const end = start + line.size() + 1;
        cutLineText(start, end);
        text_.commit(end);
    }

    // The whole of a text file, read block by block into the store and cut in place. A run of
    // CR and LF bytes ends a line and becomes one line feed. A file that starts with a break has
    // an empty first line, but only when some text follows; a last line without a break still
    // gets one. Editors count every CR LF, lone CR and lone LF as a line of its own, blank ones
    // included, and so do the line numbers.
    void readText(RegularFile& file) {
        // A read that comes back short once the file's size when opened is in has met the end:
        // asking again would only hear so, a call more for each of a batch's many small files.
        const std::optional<std::uint64_t> size = file.sizeWhenOpened();
        std::uint64_t total = 0;
        for (;;) {
            // One byte always stays free for the line feed of a last line without a break.
            // Room that is short of a whole block is read into as it is: the store was sized
            // for the file, and a bigger block for the last bytes would be a second copy.
            char* const start = text_.room(2);
            const std::size_t wanted = std::min(kReadBlock, text_.roomSize() - 1);
            const std::size_t count = file.read(start, wanted);
            if (count == 0) break;
            text_.commit(cutFileBytes(start, start + count));
            total += count;
            if (count < wanted && size && total >= *size) break;
        }
        endText();
    }

    // The whole of a text file mapped in place, cut as one block.
    void cutMapped(const std::shared_ptr<FileMapping>& mapping) {
        text_.adopt(std::shared_ptr<char[]>(mapping, mapping->data()), mapping->capacity());
        char* const start = text_.room(0);
        text_.commit(cutFileBytes(start, start + mapping->size()));
        endText();
    }

    // Also tells whether the loader found the internal tags, which it does when asked to
    // find them and every segment has a tag of its own and brackets in order.
    bool finish() {
        if (findTags_ && openPending_) tallyOpen(pendingOffset_, pendingAfterTag_);
        openPending_ = false;
        if (tagLength_ != 0) {
            addSegment(text_.open().size());
        } else if (!text_.open().empty()) {
            if (segments_.empty()) {
                addSegment(text_.open().size());
            } else {
                // A tag left open at the end: the brackets of the joined text cannot balance.
                segments_.back().text = text_.takeJoined(segments_.back().text);
                bracketsInOrder_ = false;
            }
        }
        tagLength_ = 0;
        const bool found = findTags_ && bracketsInOrder_;
        if (!found) internalTags_.resize(tagsBefore_);
        return found;
    }

    // Asks the cutter to find the internal tags too, into the document's list.
    void findTags() {
        findTags_ = true;
        tagsBefore_ = internalTags_.size();
    }

private:
    static constexpr std::size_t kReadBlock = 128 * 1024;

    void endText() {
        if (lineOpen_) {
            char* const end = text_.room(1);
            lineBegin_ = end;
            endLine(end);
            text_.commit(end + 1);
        } else if (onlyBreaks_) {
            // Breaks alone make no empty first line: take back the one made for them.
            text_.commit(text_.openBegin() + text_.open().size() - 1);
            header_.clear();
        }
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

    // Text of a decoded line in the store: brackets and what follows a "<" are looked at.
    void cutLineText(const char* p, const char* const end) {
        while (p < end) {
            if (previous_ != '<') {
                p = findBracket(p, end);
                if (p == end) break;
            }
            takeCharacter(*p, p);
            ++p;
        }
    }

    // Cuts the file's bytes [p, end), just read into the store, and drops all but the first
    // byte of each run of breaks, which becomes a line feed. Returns the end of the text.
    char* cutFileBytes(char* p, char* const end) {
        // Bytes from pending_ to the reader are kept but not yet moved down over the dropped.
        pending_ = p;
        dropped_ = 0;
        lineBegin_ = p;  // the part of an open line in earlier blocks is in headerLine_
        if (lineOpen_ && previous_ == '<' && !detail::isMarker(*p)) takeAfterOpen(p);
        if (!lineOpen_ && p < end && *p != '\r' && *p != '\n') startLine(p);
        MarkerFinder markers(p, end);
        for (;;) {
            p += markers.next() - p;  // the text is written to, the finder only reads
            if (p == end) break;
            if (*p == '<') {
                if (end - p > 1 && !detail::isMarker(p[1])) {
                    takeOpenAndNext(p[1], p - dropped_);
                    p += 2;
                } else {
                    takeOpen(p - dropped_);
                    ++p;
                }
            } else if (*p == '>') {
                takeClose(p - dropped_);
                ++p;
            } else if (isPlainLineEnd(p, end)) {
                takePlainLineEnd(p);
                ++p;
            } else {
                p = takeBreaks(p, end);
                markers.skipTo(p);
            }
        }
        movePending(end);
        if (lineOpen_ && header_.size() < kHeaderLines)
            headerLine_.append(lineBegin_, static_cast<std::size_t>(end - dropped_ - lineBegin_));
        return end - dropped_;
    }

    // The character after a "<", which is no marker: it may start a segment.
    void takeAfterOpen(char*& p) {
        takeCharacter(*p, p - dropped_);
        ++p;
    }

    // Whether the break at p is the usual one: a lone line feed ending a line past the header,
    // with text after it and nothing dropped before it in this block.
    bool isPlainLineEnd(const char* p, const char* end) const {
        return *p == '\n' && lineOpen_ && dropped_ == 0 && end - p > 1 && p[1] != '\r' &&
               p[1] != '\n' && header_.size() >= kHeaderLines;
    }

    // What takeBreaks() does for such a break, with the steps that change nothing left out.
    void takePlainLineEnd(char* p) {
        ++fileLine_;
        takeOther('\n', p);
        pending_ = p + 1;
        lineStart(fileLine_);
        lineBegin_ = p + 1;
    }

    // A run of breaks starting at p; returns where it ends.
    char* takeBreaks(char* p, char* const end) {
        movePending(p);
        // The first break becomes the line feed, so it is counted before it is overwritten.
        countBreak(*p);
        if (lineOpen_) {
            endLine(p - dropped_);
        } else if (atStart_) {
            // The empty first line, made at once and taken back if no text follows.
            lineStart(1);
            lineBegin_ = p;
            endLine(p);
            onlyBreaks_ = true;
        } else {
            ++dropped_;
        }
        ++p;
        for (; p < end && (*p == '\r' || *p == '\n'); ++p) {
            countBreak(*p);
            ++dropped_;
        }
        atStart_ = false;
        pending_ = p;
        if (p < end) startLine(p);
        return p;
    }

    void countBreak(char c) {
        if (c == '\r' || !afterCr_) ++fileLine_;
        afterCr_ = c == '\r';
    }

    // Text begins at p after breaks, or at the start of the file.
    void startLine(char* p) {
        afterCr_ = false;
        atStart_ = false;
        onlyBreaks_ = false;
        lineStart(fileLine_);
        lineOpen_ = true;
        lineBegin_ = p - dropped_;
    }

    // The line ends with a line feed written at `at`, in the text.
    void endLine(char* at) {
        // A mapped page is copied when written to, so a line feed already in place is kept.
        if (*at != '\n') *at = '\n';
        if (header_.size() < kHeaderLines) {
            headerLine_.append(lineBegin_, static_cast<std::size_t>(at - lineBegin_));
            header_.push_back(std::move(headerLine_));
            headerLine_.clear();
        }
        lineOpen_ = false;
        takeOther('\n', at);
    }

    // Moves the kept bytes before p down to where the text has got to.
    void movePending(char* p) {
        if (dropped_ != 0 && p > pending_) {
            std::char_traits<char>::move(pending_ - dropped_, pending_,
                                         static_cast<std::size_t>(p - pending_));
        }
        pending_ = p;
    }

    // A bracket, a line feed or the character after a "<", standing at `at` in the text.
    void takeCharacter(char c, const char* at) {
        if (c == '<') {
            takeOpen(at);
        } else if (c == '>') {
            takeClose(at);
        } else {
            takeOther(c, at);
        }
    }

    void takeOpen(const char* at) {
        openBracket(at);
        if (findTags_) {
            // It waits for the character after it, which tells whether it begins the next
            // segment.
            openPending_ = true;
            pendingOffset_ = static_cast<std::size_t>(at - text_.openBegin());
            pendingAfterTag_ = tagLength_ != 0;
        }
        previous_ = '<';
    }

    void takeClose(const char* at) {
        if (depth_ == 1 && tagLength_ == 0) {
            // The tag is everything open so far.
            const auto length = static_cast<std::size_t>(at + 1 - text_.openBegin());
            if (length > UINT32_MAX) throw std::bad_alloc();
            tagLength_ = static_cast<std::uint32_t>(length);
            seenTag_ = true;
        }
        --depth_;
        settlePendingOpen('>', at);
        if (findTags_) tallyClose(static_cast<std::size_t>(at - text_.openBegin()));
        previous_ = '>';
    }

    // A "<" at `at` and the character after it, which is no marker: what takeOpen() and then
    // takeOther() do, without holding the "<" as pending in between.
    void takeOpenAndNext(char c, const char* at) {
        openBracket(at);
        const std::size_t offset = static_cast<std::size_t>(at - text_.openBegin());
        const bool afterTag = tagLength_ != 0;
        const bool cuts = c != ':' && seenTag_;
        if (cuts) cut(at);
        if (findTags_) tallyOpen(cuts ? 0 : offset, !cuts && afterTag);
        previous_ = c;
    }

    // A line feed or the character after a "<".
    void takeOther(char c, const char* at) {
        settlePendingOpen(c, at);
        previous_ = c;
    }

    // What every "<" does before what follows it is known.
    void openBracket(const char* at) {
        // The first segment is where the file's first tag is.
        if (!seenTag_ && depth_ == 0) openLine_ = line_;
        ++depth_;
        settlePendingOpen('<', at);
    }

    // `c`, at `at`, tells whether a "<" just before it begins the next segment: it does unless
    // `c` is the ":" of an internal tag, or no tag has been seen yet.
    void settlePendingOpen(char c, const char* at) {
        const bool cuts = previous_ == '<' && c != ':' && seenTag_;
        if (cuts) cut(at - 1);
        if (findTags_) tallyPendingOpen(cuts);
    }

    // The brackets of the open segment are counted as the lexical check counts them, and the
    // internal tags after its own tag are found. A "<" is counted once the character after it
    // has told whether it begins the next segment.
    void tallyPendingOpen(bool cuts) {
        if (openPending_) {
            tallyOpen(cuts ? 0 : pendingOffset_, !cuts && pendingAfterTag_);
            openPending_ = false;
        }
    }

    void tallyOpen(std::size_t offset, bool afterTag) {
        tally_.open();
        if (afterTag && tagDepth_++ == 0) tagStart_ = offset;
    }

    void tallyClose(std::size_t offset) {
        tally_.close();
        if (tagDepth_ > 0 && --tagDepth_ == 0) keepTag(offset + 1 - tagStart_);
    }

    // An internal tag of the open segment, which will stand at the end of the segments. Should
    // the segment turn out not to be in order, finish() takes it back with the rest.
    void keepTag(std::size_t length) {
        const std::size_t position = segments_.size();
        // A file with a segment or a tag that long would not fit in memory anyway.
        if ((position | tagStart_ | length) > UINT32_MAX) throw std::bad_alloc();
        InternalTag& tag = internalTags_.emplace_back();
        tag.offset = static_cast<std::uint32_t>(tagStart_);
        tag.length = static_cast<std::uint32_t>(length);
        tag.externalTag = static_cast<std::uint32_t>(position);
    }

    // The segment just added: its internal tags stay in the document's while every segment so
    // far has a tag of its own and brackets in order. After the first that has not, nothing
    // more is counted: the lexical check will report on the file.
    void keepTagsOfSegment() {
        if (tagLength_ == 0 || tally_.fault() != BracketTally::Fault::None) {
            findTags_ = false;
            bracketsInOrder_ = false;
            return;
        }
        tally_ = BracketTally();
        tagDepth_ = 0;
    }

    // An external tag has begun at `at`: everything before its "<" is the last segment.
    void cut(const char* at) {
        addSegment(static_cast<std::size_t>(at - text_.openBegin()));
        depth_ = 1;
        // A "<" that ends a line is cut at the break, before the next line starts.
        openLine_ = line_;
    }

    void addSegment(std::size_t size) {
        Segment& segment = segments_.emplace_back();
        segment.text = text_.take(size);
        segment.tagLength = tagLength_;
        if (findTags_) keepTagsOfSegment();
        tagLength_ = 0;
        lines_.push_back(openLine_);
    }

    std::vector<Segment>& segments_;
    std::vector<std::uint32_t>& lines_;
    std::vector<LineGap>& gaps_;
    std::vector<InternalTag>& internalTags_;
    TextStore& text_;
    std::vector<std::string>& header_;
    std::uint32_t line_ = 0;       // the line being cut
    std::uint32_t textLine_ = 0;   // its number among the lines of the text
    std::uint32_t skipped_ = 0;    // blank lines before it
    std::uint32_t openLine_ = 0;   // where the open segment began
    std::uint32_t tagLength_ = 0;  // 0 until the open text's tag has closed
    char previous_ = ' ';
    bool seenTag_ = false;
    // Wider than tagLength_ and apart from it, so that the two are never read as one word: such
    // a read waits for a store to either to reach memory, at every ">".
    long long depth_ = 0;

    // Reading a text file:
    std::uint32_t fileLine_ = 1;       // the editor's number of the line being read
    bool lineOpen_ = false;            // text of the current line has been cut
    bool atStart_ = true;              // nothing read yet
    bool onlyBreaks_ = false;          // the file so far is breaks, made into an empty first line
    bool afterCr_ = false;             // an LF right after a CR ends no line of its own
    const char* lineBegin_ = nullptr;  // where the current line's text begins
    std::string headerLine_;           // a header line that began in an earlier block
    char* pending_ = nullptr;
    std::size_t dropped_ = 0;  // break bytes dropped so far in this block

    // Finding the internal tags:
    bool findTags_ = false;
    bool bracketsInOrder_ = true;  // in every segment so far
    std::size_t tagsBefore_ = 0;   // in the document's list before the file
    BracketTally tally_;           // of the open segment
    int tagDepth_ = 0;
    std::size_t tagStart_ = 0;  // offset in the open stretch
    bool openPending_ = false;  // a "<" waits for the character after it
    std::size_t pendingOffset_ = 0;
    bool pendingAfterTag_ = false;  // it stands after the segment's own tag
};

// Room for the segments and the text a file of this size usually has, so that neither is
// copied again and again while it grows. Room that is not used is never touched, so costs no
// memory.
void reserveForFile(std::optional<std::uint64_t> found, BrxDocument& document) {
    if (!found) return;
    const std::uint64_t size = *found;
    std::vector<Segment>& segments = document.segments;
    segments.reserve(segments.size() + static_cast<std::size_t>(size / kBytesPerSegmentGuess));
    adviseBigPages(segments);
    document.segmentLines.reserve(segments.capacity());
    // Internal tags are about as many as segments; a guess too low only copies the list.
    std::vector<InternalTag>& tags = document.internalTags;
    tags.reserve(tags.size() + static_cast<std::size_t>(size / kBytesPerSegmentGuess));
    adviseBigPages(tags);
}

// A line break becomes one line feed and RTF markup goes, so the text is rarely longer than
// the file; the final line may gain a line feed.
void reserveText(std::optional<std::uint64_t> fileSize, BrxDocument& document) {
    if (fileSize) document.text.reserve(static_cast<std::size_t>(*fileSize) + 1);
}

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
    detail::readBrxSegments(path, format, languages, document, kMapFilesFrom);
}

void detail::readBrxSegments(const std::string& path, FileFormat format,
                             LanguageSettings& languages, BrxDocument& document,
                             std::uint64_t mapFilesFrom) {
    std::vector<std::string> header;
    header.reserve(kHeaderLines);
    SegmentCutter cutter(document, header);
    cutter.findTags();
    if (format == FileFormat::Text) {
        RegularFile file;
        file.open(path);
        const std::optional<std::uint64_t> size = file.sizeWhenOpened();
        reserveForFile(size, document);
        std::shared_ptr<FileMapping> mapping;
        if (size && *size >= mapFilesFrom) mapping = FileMapping::map(file, 1);
        if (mapping) {
            document.mappedFile = mapping;
            cutter.cutMapped(mapping);
        } else {
            reserveText(size, document);
            cutter.readText(file);
        }
    } else {
        const std::optional<std::uint64_t> size = fileSize(path);
        reserveForFile(size, document);
        reserveText(size, document);
        readRtfLines(path, [&](std::string_view line) { cutter.addLine(line); });
    }
    // Only the first lines are kept, which is all the header check looks at.
    detail::validateHeader(header, languages);
    document.tagsFound = cutter.finish();
}

void detail::segmentLines(const std::vector<std::string>& lines, BrxDocument& document) {
    std::size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 1;
    document.text.reserve(size);
    std::vector<std::string> header;
    SegmentCutter cutter(document, header);
    for (const std::string& line : lines) cutter.addLine(line);
    cutter.finish();
}

}  // namespace brevo
