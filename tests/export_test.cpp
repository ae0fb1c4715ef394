// The findings for pipelines: UTF-8 texts, the JSON and SARIF documents, and the line numbers
// they give, checked against the reports and the files of generated batches.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_names.h"
#include "batch/verify_batch.h"
#include "brx/brx_loader.h"
#include "brx/rtf_reader.h"
#include "export/compiler_lines.h"
#include "export/findings_json.h"
#include "export/sarif_rules.h"
#include "export/text_encoding.h"
#include "pair_generator.h"
#include "test_support.h"
#include "verify/messages.h"

namespace brevo {
namespace {

using Json = nlohmann::ordered_json;
using test::TempDir;

TEST(TextEncoding, CodePagesToUtf8KeepingWhatDoesNotConvert) {
    EXPECT_EQ(codePageToUtf8("caf\xE9 <b>", 1252), "caf\xC3\xA9 <b>");
    EXPECT_EQ(codePageToUtf8("\x82\xA0", 932), "\xE3\x81\x82");       // hiragana a
    EXPECT_EQ(codePageToUtf8("a\x81", 932), "a\xC2\x81");             // a lead byte at the end
    EXPECT_EQ(codePageToUtf8("\x81\x20x", 1252), "\xC2\x81 x");       // 0x81 is no CP1252
    EXPECT_EQ(codePageToUtf8("\xD0\xB0", 1251), "\xD0\xA0\xC2\xB0");  // Cyrillic, two letters
    EXPECT_EQ(asUtf8("ok \xC3\xA9 \xE9\xFF"), "ok \xC3\xA9 \xC3\xA9\xC3\xBF");
    EXPECT_EQ(asUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // a surrogate is no UTF-8
}

// The lines an editor shows, numbered from 1: CR LF, lone CR and lone LF each end one.
std::vector<std::string> editorLines(const std::string& bytes) {
    std::vector<std::string> lines(2);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            if (c == '\n' && i > 0 && bytes[i - 1] == '\r') continue;
            lines.emplace_back();
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

// Line breaks as editors on every system leave them: CR LF, lone CR, and blank lines.
std::string withMixedBreaks(const std::string& bytes, std::mt19937& random) {
    std::string out;
    for (const char c : bytes) {
        if (c != '\n') {
            out += c;
            continue;
        }
        static const char* const kBreaks[] = {"\n", "\r\n", "\r", "\n\n", "\r\n\r\n\r\n"};
        out += kBreaks[random() % 5];
    }
    return out;
}

struct GeneratedBatch {
    TempDir dir;
    BatchRequest request;

    GeneratedBatch(bench::Form form, const bench::Damage& damage, int files, unsigned seed) {
        const bool rtf = form == bench::Form::Rtf;
        std::mt19937 random(seed);
        for (int i = 0; i < files; ++i) {
            const std::string name = "pair" + std::to_string(i) + (rtf ? ".rtf" : ".txt");
            bench::PairOptions options;
            options.seed = seed * 100 + static_cast<unsigned>(i);
            options.sourceBytes = 6 * 1024;
            options.form = form;
            options.damage = damage;
            const std::string source = dir.dir() + "src/" + name;
            const std::string target = dir.dir() + "tgt/" + name;
            std::filesystem::create_directories(dir.path() / "src");
            std::filesystem::create_directories(dir.path() / "tgt");
            bench::generatePairFiles(options, source, target);
            if (!rtf) {
                for (const std::string& path : {source, target}) {
                    dir.write(path.substr(dir.dir().size()),
                              withMixedBreaks(test::readFile(path), random));
                }
            }
            request.files.push_back(target);
        }
        request.sourceDir = dir.dir() + "src/";
        request.targetDir = dir.dir() + "tgt/";
        request.options.fileFormat = rtf ? FileFormat::Rtf : FileFormat::Text;
        request.options.overwriteFiles = true;
        request.options.keepFindings = true;
        request.jobs = 2;
    }

    BatchResult verify() {
        test::LogUser user;
        return verifyBatch(request, user);
    }
};

// The lines as the reader numbers them: editor lines for text, paragraphs for RTF.
std::vector<std::string> numberedLines(const std::string& path, FileFormat format) {
    if (format == FileFormat::Text) return editorLines(test::readFile(path));
    std::vector<std::string> lines(1);  // numbered from 1
    readRtfLines(path, lines);
    return lines;
}

// The internal tags a message names, cut before a " ?" placeholder.
std::vector<std::string> internalTagsNamed(const std::string& message) {
    std::vector<std::string> tags;
    for (std::size_t at = message.find("<:"); at != std::string::npos;
         at = message.find("<:", at + 2)) {
        const std::size_t end = message.find('>', at);
        if (end == std::string::npos) break;
        std::string tag = message.substr(at, end + 1 - at);
        tags.push_back(tag.ends_with(" ?>") ? tag.substr(0, tag.size() - 2) : tag);
    }
    return tags;
}

// Every finding of the JSON is the report's, in its order; every line it names holds the tag
// of the segment the finding concerns, or the internal tag the message names.
void expectAgreement(const PairRecord& pair, const Json& json, FileFormat format) {
    ASSERT_EQ(json["findings"].size(), pair.outcome.findings.size());
    EXPECT_EQ(json["errors"], pair.outcome.counts.errors);
    if (pair.outcome.findings.empty()) return;
    ASSERT_TRUE(json["report"].is_string());

    std::vector<std::string> numbered;  // the report's finding lines, in order
    std::istringstream report(test::readFile(pair.reportPath));
    for (std::string line; std::getline(report, line);) {
        if (format == FileFormat::Rtf) {
            const std::size_t at = line.find("\\f1 [");
            if (at == std::string::npos) continue;
            line = line.substr(at + 4);
        }
        if (line.starts_with('[') && line.find("] ") != std::string::npos) numbered.push_back(line);
    }
    ASSERT_EQ(numbered.size(), pair.outcome.findings.size());

    const std::vector<std::string> sourceLines = numberedLines(pair.sourcePath, format);
    const std::vector<std::string> targetLines = numberedLines(pair.targetPath, format);
    LanguageSettings languages;
    BrxDocument source;
    BrxDocument target;
    readBrxSegments(pair.sourcePath, format, languages, source);
    readBrxSegments(pair.targetPath, format, languages, target);
    for (std::size_t i = 0; i < numbered.size(); ++i) {
        const Json& finding = json["findings"][i];
        EXPECT_EQ(finding["number"], static_cast<int>(i) + 1);
        std::string prefix(1, '[');
        prefix += std::to_string(i + 1);
        prefix += "] ";
        EXPECT_TRUE(numbered[i].starts_with(prefix)) << numbered[i];
        if (format == FileFormat::Text) {
            const std::string message = finding["message"];
            EXPECT_EQ(numbered[i].substr(0, numbered[i].find('\r')),
                      message.substr(0, message.find('\n')));
        }
        for (const SegmentRef& segment : pair.outcome.findings[i].segments) {
            const bool onSource = segment.side == Side::Source;
            const BrxDocument& document = onSource ? source : target;
            const std::vector<std::string>& lines = onSource ? sourceLines : targetLines;
            const Json& line = finding[onSource ? "sourceLine" : "targetLine"];
            ASSERT_EQ(line, segment.line);
            ASSERT_LT(segment.line, lines.size());
            std::string_view tag = document.segments[segment.index].tagText();
            tag = tag.substr(0, tag.find('\n'));
            const std::string& text = lines[segment.line];
            const std::vector<std::string> named = internalTagsNamed(finding["message"]);
            EXPECT_TRUE(text.find(tag) != std::string::npos ||
                        std::any_of(named.begin(), named.end(),
                                    [&](const std::string& internal) {
                                        return text.find(internal) != std::string::npos;
                                    }))
                << "line " << segment.line << " lacks " << tag << " for "
                << finding["message"].get<std::string>();
        }
    }
}

TEST(FindingsJson, AgreesWithTheReportsAndNamesTheLinesOfTheTags) {
    std::vector<bench::Damage> damages(6);
    damages[0].loseExternal = 8;
    damages[1].moveInternal = 8;
    damages[2].changeTags = 8;
    damages[3].dropInternal = 8;
    damages[4].addMarked = 8;
    damages[5] = {4, 4, 4, 4, 4};
    unsigned seed = 1;
    for (const bench::Form form : {bench::Form::Text, bench::Form::Rtf}) {
        for (const bench::Damage& damage : damages) {
            GeneratedBatch batch(form, damage, 3, seed++);
            const BatchResult result = batch.verify();
            const Json json = findingsJson(result, "9.9.9");
            ASSERT_EQ(json["pairs"].size(), result.pairs.size());
            for (std::size_t p = 0; p < result.pairs.size(); ++p) {
                SCOPED_TRACE("seed " + std::to_string(seed) + " pair " + std::to_string(p));
                expectAgreement(result.pairs[p], json["pairs"][p],
                                batch.request.options.fileFormat);
            }
        }
    }
}

// URIs of absolute names: "file:///C:/dir/a.txt" for "C:\\dir\\a.txt" on Windows.
#if defined(_WIN32)
const std::string kFileUriPrefix = "file:///";
#else
const std::string kFileUriPrefix = "file://";
#endif

std::string slashed(std::string path) {
    std::replace(path.begin(), path.end(), kDirSeparator, '/');
    return path;
}

TEST(FindingsSarif, OneResultPerFindingLocatedInTheFileItIsAbout) {
    GeneratedBatch batch(bench::Form::Text, {3, 3, 3, 3, 3}, 2, 77);
    const BatchResult result = batch.verify();
    const Json sarif = findingsSarif(result, "9.9.9");
    const Json& run = sarif["runs"][0];
    std::size_t findings = 0;
    for (const PairRecord& pair : result.pairs) findings += pair.outcome.findings.size();
    ASSERT_GT(findings, 0u);
    ASSERT_EQ(run["results"].size(), findings);
    std::size_t i = 0;
    for (const PairRecord& pair : result.pairs) {
        for (const Finding& finding : pair.outcome.findings) {
            const Json& item = run["results"][i++];
            const Json& rule = run["tool"]["driver"]["rules"][item["ruleIndex"].get<std::size_t>()];
            EXPECT_EQ(rule["id"], item["ruleId"]);
            EXPECT_EQ(item["ruleId"], std::to_string(finding.messageId));
            const std::string level = item["level"];
            EXPECT_EQ(level, finding.severity == Severity::Error   ? "error"
                             : finding.severity == Severity::Alert ? "warning"
                                                                   : "note");
            const std::string uri =
                item["locations"][0]["physicalLocation"]["artifactLocation"]["uri"];
            const std::string& file =
                finding.file == Side::Target ? pair.targetPath : pair.sourcePath;
            EXPECT_EQ(uri, kFileUriPrefix + slashed(file));
        }
    }
}

// SARIF's message string with its "{n}" placeholders filled, "{{" and "}}" as braces.
std::string fillMessageString(const std::string& text, const Json& arguments) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if ((text[i] == '{' || text[i] == '}') && i + 1 < text.size() && text[i + 1] == text[i]) {
            out += text[i++];
        } else if (text[i] == '{') {
            const std::size_t end = text.find('}', i);
            out += arguments.at(std::stoul(text.substr(i + 1, end - i - 1))).get<std::string>();
            i = end;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Each rule reads without the finding's values; each result's arguments, put into its rule's
// message string, give its message.
TEST(FindingsSarif, RulesAreNamedAndResultsFillTheirMessageStrings) {
    GeneratedBatch batch(bench::Form::Text, {3, 3, 3, 3, 3}, 3, 78);
    const Json run = findingsSarif(batch.verify(), "9.9.9")["runs"][0];
    ASSERT_GT(run["results"].size(), 0u);
    std::set<std::string> names;
    for (const Json& rule : run["tool"]["driver"]["rules"]) {
        const std::string description = rule["shortDescription"]["text"];
        EXPECT_EQ(description.find('%'), std::string::npos) << description;
        EXPECT_TRUE(names.insert(rule["name"]).second) << rule["name"];
    }
    for (const Json& result : run["results"]) {
        const Json& rule = run["tool"]["driver"]["rules"][result["ruleIndex"].get<std::size_t>()];
        const std::string id = result["message"]["id"];
        EXPECT_EQ(
            fillMessageString(rule["messageStrings"][id]["text"], result["message"]["arguments"]),
            result["message"]["text"]);
    }
    EXPECT_EQ(run["tool"]["driver"]["informationUri"], "https://brevo-verifier.invalid/docs/");
}

// Every message that can be a finding has a rule of its own; "%c%c", the two bytes of one
// character, is one placeholder, and braces of the text stay braces.
TEST(FindingsSarif, EveryCountedMessageHasARule) {
    std::set<std::string_view> names;
    for (int id = 18000; id < 19000; ++id) {
        const std::string_view text = messageText(static_cast<MessageId>(id));
        if (!text.starts_with("[%d] ")) continue;
        const auto rule = sarifRule(static_cast<MessageId>(id));
        ASSERT_TRUE(rule.has_value()) << id;
        EXPECT_TRUE(names.insert(rule->name).second) << rule->name;
        EXPECT_EQ(rule->description.find('%'), std::string_view::npos) << id;
        EXPECT_EQ(sarifMessageString(text).find('%'), std::string::npos) << id;
    }
    EXPECT_GT(names.size(), 60u);
    EXPECT_EQ(sarifMessageString("[%d] ALERT! \"%c%c\" in {x} is 100%% %s."),
              "[{0}] ALERT! \"{1}\" in {{x}} is 100% {2}.");
    EXPECT_EQ(sarifArguments("[%d] \"%c%c\" %s", {"3", "\x82", "\xa0", "tag"}),
              (std::vector<std::string>{"3", "\x82\xa0", "tag"}));
}

TEST(FindingsJson, PairsWithoutARunHaveStatusAndNoFindings) {
    GeneratedBatch batch(bench::Form::Text, {}, 2, 5);
    test::TempDir elsewhere;
    batch.request.files.push_back(batch.request.targetDir + "missing.txt");
    const BatchResult result = batch.verify();
    const Json json = findingsJson(result, "1.2.3");
    EXPECT_EQ(json["tool"]["version"], "1.2.3");
    ASSERT_EQ(json["pairs"].size(), 3u);
    const Json& clean = json["pairs"][0];
    EXPECT_EQ(clean["status"]["name"], "Completed");
    EXPECT_EQ(clean["report"], nullptr);
    const Json& missing = json["pairs"][2];
    EXPECT_EQ(missing["status"]["code"], 4);
    EXPECT_EQ(missing["status"]["name"], "FileError");
    EXPECT_TRUE(missing["findings"].empty());
}

// A source whose checks find something, beside a target that is no BRX file: the run stops at
// the target, writes no report, and its results line shows no counts.
struct UnreadableTarget {
    GeneratedBatch batch{bench::Form::Text, {}, 1, 9};
    BatchResult result;

    UnreadableTarget() {
        batch.dir.write("src/bad.txt",
                        test::brxText("<file \"x\">\n<page \"1\">\n<ps \"Body\">A <:zz>\n"
                                      "<tb 3>\n</page>\n</file \"x\">\n</brx>\n"));
        batch.dir.write("tgt/bad.txt", "plain text\n");
        batch.request.files.push_back(batch.request.targetDir + "bad.txt");
        result = batch.verify();
    }
};

TEST(FindingsJson, APairWithoutAReportHasNoFindingsOfItsOwn) {
    UnreadableTarget unreadable;
    const Json json = findingsJson(unreadable.result, "1.2.3");
    ASSERT_EQ(json["pairs"].size(), 2u);
    const Json& bad = json["pairs"][1];
    EXPECT_EQ(bad["status"]["name"], "NotBrx");
    EXPECT_EQ(bad["report"], nullptr);
    EXPECT_TRUE(bad["findings"].empty());
    EXPECT_EQ(bad["errors"], 0);
    EXPECT_EQ(bad["alerts"], 0);
    EXPECT_EQ(bad["warnings"], 0);

    // The same source beside a readable target does have findings, in a report.
    unreadable.batch.dir.write("tgt/bad.txt",
                               test::readFile(unreadable.batch.dir.path() / "src/bad.txt"));
    const Json again = findingsJson(unreadable.batch.verify(), "1.2.3");
    EXPECT_FALSE(again["pairs"][1]["findings"].empty());
    EXPECT_NE(again["pairs"][1]["report"], nullptr);
}

TEST(FindingsSarif, PairsNotFullyVerifiedAreNotifiedAndFailTheRun) {
    UnreadableTarget unreadable;
    const Json sarif = findingsSarif(unreadable.result, "1.2.3");
    const Json& invocation = sarif["runs"][0]["invocations"][0];
    EXPECT_EQ(invocation["executionSuccessful"], false);
    const Json& notifications = invocation["toolExecutionNotifications"];
    ASSERT_EQ(notifications.size(), 1u);
    EXPECT_EQ(notifications[0]["level"], "error");
    EXPECT_EQ(notifications[0]["message"]["text"],
              "Verification failed! This file is not a valid BRX file. BRX files must begin "
              "with the tag <brx \"I2.xx\">.");
    const std::string uri =
        notifications[0]["locations"][0]["physicalLocation"]["artifactLocation"]["uri"];
    EXPECT_TRUE(uri.ends_with("/tgt/bad.txt")) << uri;

    unreadable.result.pairs.pop_back();
    const Json clean = findingsSarif(unreadable.result, "1.2.3");
    EXPECT_EQ(clean["runs"][0]["invocations"][0]["executionSuccessful"], true);
    EXPECT_FALSE(clean["runs"][0]["invocations"][0].contains("toolExecutionNotifications"));
    unreadable.result.stopped = true;
    EXPECT_EQ(findingsSarif(unreadable.result,
                            "1.2.3")["runs"][0]["invocations"][0]["executionSuccessful"],
              false);
}

// A compiler-style line as editors' error formats and CI annotations take it apart.
struct ParsedLine {
    std::string file;
    std::optional<int> line;
    std::string level;
    std::string message;
    int messageId = 0;
};

// "FILE[:LINE]: LEVEL: TEXT [ID]", taken apart by hand: std::regex trips a false warning of
// g++ 12 under the sanitizers.
std::optional<ParsedLine> parsedLine(const std::string& line) {
    std::size_t levelAt = std::string::npos;
    std::string level;
    for (const std::string word : {"error", "warning", "note"}) {
        const std::size_t at = line.find(": " + word + ": ");
        if (at != std::string::npos && at < levelAt) {
            levelAt = at;
            level = word;
        }
    }
    const std::size_t idAt = line.rfind(" [");
    if (levelAt == std::string::npos || idAt == std::string::npos || !line.ends_with(']')) {
        return std::nullopt;
    }
    const std::size_t textAt = levelAt + level.size() + 4;
    if (idAt < textAt) return std::nullopt;
    const std::string id = line.substr(idAt + 2, line.size() - idAt - 3);
    const auto digits = [](const std::string& text) {
        return !text.empty() &&
               std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (!digits(id)) return std::nullopt;
    ParsedLine parsed{line.substr(0, levelAt), std::nullopt, level,
                      line.substr(textAt, idAt - textAt), std::stoi(id)};
    const std::size_t colon = parsed.file.rfind(':');
    if (colon != std::string::npos && digits(parsed.file.substr(colon + 1))) {
        parsed.line = std::stoi(parsed.file.substr(colon + 1));
        parsed.file.resize(colon);
    }
    return parsed;
}

std::vector<ParsedLine> parsedLines(const std::string& text) {
    std::vector<ParsedLine> parsed;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::optional<ParsedLine> item = parsedLine(line);
        EXPECT_TRUE(item.has_value()) << line;
        if (item) parsed.push_back(std::move(*item));
    }
    return parsed;
}

TEST(CompilerLines, OneLinePerFindingWithTheFileLineAndSeverityOfTheJson) {
    GeneratedBatch batch(bench::Form::Text, {4, 4, 4, 4, 4}, 3, 31);
    const BatchResult result = batch.verify();
    const Json json = findingsJson(result, "9.9.9");
    const std::vector<ParsedLine> parsed = parsedLines(compilerStyleLines(result, false));
    std::size_t i = 0;
    int withLine = 0;
    for (std::size_t p = 0; p < result.pairs.size(); ++p) {
        const Json& pair = json["pairs"][p];
        for (std::size_t f = 0; f < result.pairs[p].outcome.findings.size(); ++f) {
            ASSERT_LT(i, parsed.size());
            const ParsedLine& line = parsed[i++];
            const Json& finding = pair["findings"][f];
            const bool onTarget = result.pairs[p].outcome.findings[f].file == Side::Target;
            EXPECT_EQ(line.file, pair[onTarget ? "targetFile" : "sourceFile"]);
            const Json& expectedLine = finding[onTarget ? "targetLine" : "sourceLine"];
            if (expectedLine.is_null()) {
                EXPECT_FALSE(line.line.has_value()) << line.file << ":" << *line.line;
            } else {
                EXPECT_EQ(line.line, expectedLine.get<int>());
                ++withLine;
            }
            EXPECT_EQ(line.level, finding["severity"] == "error"   ? "error"
                                  : finding["severity"] == "alert" ? "warning"
                                                                   : "note");
            EXPECT_EQ(line.messageId, finding["messageId"]);
            // The report's text after "[n] SEVERITY! ", on one line.
            std::string message = finding["message"];
            message = message.substr(message.find("! ") + 2);
            std::replace(message.begin(), message.end(), '\n', ' ');
            EXPECT_EQ(line.message, message);
        }
    }
    EXPECT_EQ(i, parsed.size());
    EXPECT_GT(withLine, 0);
}

TEST(CompilerLines, ColourOnlyWhenAskedAndAFileWithoutALineNamedAlone) {
    PairRecord pair;
    pair.sourcePath = "src/a.txt";
    pair.targetPath = "tgt/a.txt";
    Finding deleted;
    deleted.number = 1;
    deleted.severity = Severity::Alert;
    deleted.messageId = 7;
    deleted.text = "[1] ALERT! The tag <b> has been deleted.\nIt was here.";
    deleted.segments = {{Side::Source, 2, 9}};
    deleted.file = Side::Target;
    Finding sourceOwn = deleted;
    sourceOwn.number = 2;
    sourceOwn.severity = Severity::Warning;
    sourceOwn.text = "[2] WARNING! Odd.";
    sourceOwn.file = Side::Source;
    pair.outcome.findings = {deleted, sourceOwn};
    BatchResult result;
    result.pairs = {pair};

    EXPECT_EQ(compilerStyleLines(result, false),
              "tgt/a.txt: warning: The tag <b> has been deleted. It was here. [7]\n"
              "src/a.txt:9: note: Odd. [7]\n");
    const std::string coloured = compilerStyleLines(result, true);
    EXPECT_NE(coloured.find("\x1b[1;35mwarning:\x1b[0m"), std::string::npos) << coloured;
    EXPECT_NE(coloured.find("\x1b[1msrc/a.txt:9:\x1b[0m"), std::string::npos) << coloured;
    std::string plain = coloured;
    for (std::size_t at; (at = plain.find('\x1b')) != std::string::npos;) {
        plain.erase(at, plain.find('m', at) - at + 1);
    }
    EXPECT_EQ(plain, compilerStyleLines(result, false));
}

}  // namespace
}  // namespace brevo
