#include "brx/brx_loader.h"

#include <string_view>

#include "brx/failure.h"
#include "brx/line_reader.h"
#include "brx/rtf_reader.h"

namespace brevo {
namespace {

void readTextLines(const std::string& path, std::vector<std::string>& lines) {
    LineReader reader;
    reader.open(path);
    std::string line;
    while (reader.readLine(line)) lines.push_back(line);
}

void checkFirstLine(std::string_view line) {
    if (line.starts_with("<brx \"I2.00\">")) return;
    if (line.starts_with("<brx \"I")) fail(VerifyStatus::NewerVersion);
    if (line.starts_with("<brx \"F") || line == "<tf>") fail(VerifyStatus::FrameMakerFile);
    fail(VerifyStatus::NotBrx);
}

}  // namespace

void validateHeader(const std::vector<std::string>& lines, LanguageSettings& languages) {
    if (lines.empty()) fail(VerifyStatus::UnexpectedEnd);
    checkFirstLine(lines[0]);

    if (lines.size() < 2) fail(VerifyStatus::UnexpectedEnd);
    const std::string& language = lines[1];
    if (!language.starts_with("<language \"") || language.size() < 13) {
        fail(VerifyStatus::MissingLanguage);
    }
    // The last two characters go whatever they are.
    std::string name = language.substr(11, language.size() - 13);
    if (!setSourceLanguage(languages, name)) fail(VerifyStatus::InvalidLanguage);

    if (lines.size() < 3) fail(VerifyStatus::UnexpectedEnd);
    if (lines[2] != "<quotes \"As text\">" && lines[2] != "<quotes \"As tags\">") {
        fail(VerifyStatus::MissingQuotes);
    }
    if (lines.size() < 4) fail(VerifyStatus::UnexpectedEnd);
    if (lines[3] != "<readonly \"Translate\">" && lines[3] != "<readonly \"Don't translate\">") {
        fail(VerifyStatus::MissingReadOnly);
    }
}

void readBrxFile(const std::string& path, FileFormat format, LanguageSettings& languages,
                 std::vector<std::string>& lines) {
    if (format == FileFormat::Rtf) {
        readRtfLines(path, lines);
    } else {
        readTextLines(path, lines);
    }
    validateHeader(lines, languages);
}

void segmentLines(const std::vector<std::string>& lines, std::vector<Segment>& segments) {
    std::string pending;
    std::string tag;
    pending.reserve(32768);
    tag.reserve(1024);
    int depth = 0;
    char previous = ' ';
    bool seenTag = false;

    auto take = [&](char c) {
        if (c == '<') {
            ++depth;
            pending.push_back(c);
        } else {
            pending.push_back(c);
            if (c == '>') {
                if (depth == 1 && tag.empty()) {
                    tag = pending;
                    seenTag = true;
                }
                --depth;
            }
        }
        if (previous == '<' && c != ':' && seenTag) {
            // An external tag has begun: everything before its "<" is the last segment.
            Segment& segment = segments.emplace_back();
            segment.tagText = std::move(tag);
            segment.text.assign(pending, 0, pending.size() - 2);
            pending.erase(0, pending.size() - 2);
            tag.clear();
            depth = 1;
        }
        previous = c;
    };

    for (const std::string& line : lines) {
        for (char c : line) take(c);
        take('\n');
    }

    if (!tag.empty()) {
        Segment& segment = segments.emplace_back();
        segment.tagText = std::move(tag);
        segment.text = std::move(pending);
    } else if (!pending.empty()) {
        if (segments.empty()) segments.emplace_back();
        segments.back().text += pending;
    }
}

}  // namespace brevo
