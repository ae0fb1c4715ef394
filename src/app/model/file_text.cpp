#include "app/model/file_text.h"

#include <new>

#include "base/file_failure.h"
#include "base/regular_file.h"
#include "batch/status_messages.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "brx/language_table.h"
#include "brx/rtf_reader.h"
#include "export/text_encoding.h"
#include "verify/pair_outcome.h"

namespace brevo::app {
namespace {

std::string wholeFile(const std::string& path) {
    RegularFile file;
    file.open(path);
    std::string bytes;
    char buffer[64 * 1024];
    while (const std::size_t count = file.read(buffer, sizeof buffer)) bytes.append(buffer, count);
    return bytes;
}

std::vector<std::string> rawLines(const std::string& path, FileFormat format) {
    std::vector<std::string> lines;
    if (format == FileFormat::Rtf) {
        readRtfLines(path, lines);
        return lines;
    }
    const std::string bytes = wholeFile(path);
    for (std::string_view line : editorLines(bytes)) lines.emplace_back(line);
    return lines;
}

std::string reasonOf(const FileFailure& failure) {
    return std::string(fileErrorMessage(failure.cause));
}

std::string reasonOf(const BrxFailure& failure) {
    const StatusLines status = statusLinesOf(statusOf(failure.error));
    return status.lines.empty() ? std::string() : std::string(status.lines.back());
}

// The segments are only for marking; a file the loader refuses is still shown.
std::vector<std::uint32_t> segmentLinesOf(const std::string& path, FileFormat format) {
    try {
        LanguageSettings languages;
        BrxDocument document;
        readBrxSegments(path, format, languages, document);
        return std::move(document.segmentLines);
    } catch (const FileFailure&) {
    } catch (const BrxFailure&) {
    }
    return {};
}

}  // namespace

std::vector<std::string_view> editorLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '\r' && text[at] != '\n') continue;
        lines.push_back(text.substr(start, at - start));
        if (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ++at;
        start = at + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

FileText readFileText(const std::string& path, FileFormat format, int codePage) {
    FileText file;
    try {
        for (const std::string& line : rawLines(path, format)) {
            file.lines.push_back(codePageToUtf8(line, codePage));
        }
    } catch (const FileFailure& failure) {
        file.failure = reasonOf(failure);
        return file;
    } catch (const BrxFailure& failure) {
        file.failure = reasonOf(failure);
        return file;
    } catch (const std::bad_alloc&) {
        file.lines.clear();
        file.failure = "Out of memory.";
        return file;
    }
    file.segmentLines = segmentLinesOf(path, format);
    return file;
}

LineRange segmentRange(const FileText& file, std::size_t segment, std::uint32_t line) {
    if (segment >= file.segmentLines.size() || file.segmentLines[segment] != line) {
        return {line, line};
    }
    if (segment + 1 == file.segmentLines.size()) {
        return {line, std::max(line, static_cast<std::uint32_t>(file.lines.size()))};
    }
    const std::uint32_t next = file.segmentLines[segment + 1];
    if (next <= line) return {line, line};
    const bool nextBeginsLine = next <= file.lines.size() && file.lines[next - 1].starts_with('<');
    return {line, nextBeginsLine ? next - 1 : next};
}

std::vector<TagSpan> tagSpans(std::u16string_view line, TagScan& scan) {
    std::vector<TagSpan> spans;
    std::size_t start = 0;  // where the open tag began in this line
    for (std::size_t at = 0; at < line.size(); ++at) {
        const char16_t c = line[at];
        if (c == u'<') {
            if (scan.depth++ == 0) {
                start = at;
                scan.internal = at + 1 < line.size() && line[at + 1] == u':';
            }
        } else if (c == u'>' && scan.depth > 0) {
            if (--scan.depth == 0) spans.push_back({start, at + 1 - start, scan.internal});
        }
    }
    // A tag still open runs to the end of the line and goes on in the next.
    if (scan.depth > 0) spans.push_back({start, line.size() - start, scan.internal});
    return spans;
}

}  // namespace brevo::app
