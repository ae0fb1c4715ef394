// The window-free pieces of the findings view: rows, filter, the walk through a batch's
// findings, a file's lines as the side-by-side view shows them, and the sizes of the windows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/model/file_text.h"
#include "app/model/finding_rows.h"
#include "app/model/window_layout.h"
#include "brx/brx_loader.h"
#include "export/text_encoding.h"
#include "pair_generator.h"
#include "test_support.h"

namespace brevo::app {
namespace {

using test::TempDir;

const std::string kHeader =
    "<brx \"I2.00\">\n<language \"German\">\n<quotes \"As text\">\n<readonly \"Translate\">\n";

FindingRow row(int number, Severity severity, std::string message) {
    return {number, severity, std::move(message), std::nullopt, std::nullopt, Side::Source};
}

PairFindings pairOf(std::vector<FindingRow> rows) {
    PairFindings pair;
    pair.rows = std::move(rows);
    return pair;
}

TEST(FindingRows, MessagesDecodedFromTheFileTheyQuoteAndTheFirstLineOfEachSide) {
    PairRecord record;
    record.outcome.sourceCodePage = 1252;
    record.outcome.targetCodePage = 932;
    Finding target;
    target.number = 1;
    target.severity = Severity::Warning;
    target.text = "[1] WARNING! \x83\x65\x83\x58\x83\x67";  // "テスト" in Shift-JIS
    target.segments = {{Side::Target, 7, 0}, {Side::Target, 8, 31}, {Side::Source, 5, 20}};
    target.file = Side::Target;
    Finding source;
    source.number = 2;
    source.text = "[2] ERROR! caf\xe9";
    source.segments = {{Side::Source, 3, 12}};
    record.outcome.findings = {target, source};

    const PairFindings pair = pairFindings(record, FileFormat::Rtf);
    ASSERT_EQ(pair.rows.size(), 2u);
    EXPECT_EQ(pair.rows[0].message, "[1] WARNING! \xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88");
    ASSERT_TRUE(pair.rows[0].target && pair.rows[0].source);
    // A segment without a known line is passed over for the next one of its side.
    EXPECT_EQ(pair.rows[0].target->line, 31u);
    EXPECT_EQ(pair.rows[0].target->segment, 8u);
    EXPECT_EQ(pair.rows[0].source->line, 20u);
    EXPECT_EQ(pair.rows[1].message, "[2] ERROR! caf\xc3\xa9");
    EXPECT_FALSE(pair.rows[1].target);
    EXPECT_EQ(pair.format, FileFormat::Rtf);

    // A pair that ended before its files were read has no code pages yet.
    PairRecord failed;
    failed.outcome.findings = {source};
    EXPECT_EQ(pairFindings(failed, FileFormat::Text).sourceCodePage, 1252);
}

TEST(FindingFilter, SeveritiesTickedAndTextIgnoringCase) {
    const FindingRow error = row(1, Severity::Error, "[1] ERROR! The tag <:B> is missing.");
    const FindingRow alert = row(2, Severity::Alert, "[2] ALERT! Caf\xc3\xa9 <ps \"Body\">");
    EXPECT_TRUE(FindingFilter{}.accepts(error));
    FindingFilter filter;
    filter.errors = false;
    EXPECT_FALSE(filter.accepts(error));
    EXPECT_TRUE(filter.accepts(alert));
    filter = {};
    filter.text = "<:b>";
    EXPECT_TRUE(filter.accepts(error));
    EXPECT_FALSE(filter.accepts(alert));
    filter.text = "CAF\xc3\xa9";
    EXPECT_TRUE(filter.accepts(alert));
    filter.warnings = false;
    EXPECT_FALSE(filter.takes(Severity::Warning));
    EXPECT_TRUE(filter.takes(Severity::Alert));
}

TEST(FindingWalk, NextAndPreviousCrossPairsSkipFilteredAndGoRound) {
    const std::vector<PairFindings> pairs = {
        pairOf({row(1, Severity::Error, "a"), row(2, Severity::Warning, "b")}),
        pairOf({}),
        pairOf({row(1, Severity::Alert, "c")}),
    };
    const FindingFilter all;
    using P = FindingPlace;
    EXPECT_EQ(stepFinding(pairs, std::nullopt, Direction::Next, all), (P{0, 0}));
    EXPECT_EQ(stepFinding(pairs, std::nullopt, Direction::Previous, all), (P{2, 0}));
    EXPECT_EQ(stepFinding(pairs, P{0, 1}, Direction::Next, all), (P{2, 0}));
    EXPECT_EQ(stepFinding(pairs, P{2, 0}, Direction::Next, all), (P{0, 0}));
    EXPECT_EQ(stepFinding(pairs, P{2, 0}, Direction::Previous, all), (P{0, 1}));
    EXPECT_EQ(stepFinding(pairs, P{0, 0}, Direction::Previous, all), (P{2, 0}));

    FindingFilter noWarnings;
    noWarnings.warnings = false;
    EXPECT_EQ(stepFinding(pairs, P{0, 0}, Direction::Next, noWarnings), (P{2, 0}));
    FindingFilter onlyC;
    onlyC.text = "c";
    EXPECT_EQ(stepFinding(pairs, P{2, 0}, Direction::Next, onlyC), (P{2, 0}));
    FindingFilter nothing;
    nothing.text = "zzz";
    EXPECT_EQ(stepFinding(pairs, P{0, 0}, Direction::Next, nothing), std::nullopt);
    EXPECT_EQ(stepFinding({pairOf({})}, std::nullopt, Direction::Next, all), std::nullopt);
    // A place that no longer exists starts the walk afresh.
    EXPECT_EQ(stepFinding(pairs, P{1, 4}, Direction::Next, all), (P{0, 0}));
}

TEST(FileText, LinesCountedAsAnEditorCountsThem) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(editorLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(editorLines("a\n\n\r\n\rb\n"), (Lines{"a", "", "", "", "b"}));
    EXPECT_EQ(editorLines("\n\nx"), (Lines{"", "", "x"}));
    EXPECT_EQ(editorLines("a\n\r"), (Lines{"a", ""}));
    EXPECT_EQ(editorLines(""), Lines{});
}

// Every segment's line, as the view numbers it, holds that segment's tag as the verifier cut it.
void expectSegmentsOnTheirLines(const std::string& path, FileFormat format, int codePage) {
    const FileText file = readFileText(path, format, codePage);
    ASSERT_EQ(file.failure, "");
    LanguageSettings languages;
    BrxDocument document;
    readBrxSegments(path, format, languages, document);
    ASSERT_EQ(file.segmentLines, document.segmentLines);
    ASSERT_GT(document.segments.size(), 10u);
    for (std::size_t i = 0; i < document.segments.size(); ++i) {
        const std::uint32_t line = document.segmentLines[i];
        ASSERT_GE(line, 1u);
        ASSERT_LE(line, file.lines.size());
        const std::string tag = codePageToUtf8(document.segments[i].tagText(), codePage);
        const std::string firstLine = tag.substr(0, tag.find('\n'));
        EXPECT_NE(file.lines[line - 1].find(firstLine), std::string::npos)
            << "segment " << i << " line " << line;
    }
}

TEST(FileText, SegmentLinesPointAtTheirTagsInTextAndRtfFiles) {
    TempDir dir;
    for (const bench::Form form : {bench::Form::Text, bench::Form::Rtf}) {
        bench::PairOptions options;
        options.form = form;
        options.sourceBytes = 8 * 1024;
        options.damage.changeTags = 10;
        const std::string source = dir.dir() + "s" + (form == bench::Form::Rtf ? ".rtf" : ".txt");
        const std::string target = dir.dir() + "t" + (form == bench::Form::Rtf ? ".rtf" : ".txt");
        bench::generatePairFiles(options, source, target);
        const FileFormat format = form == bench::Form::Rtf ? FileFormat::Rtf : FileFormat::Text;
        expectSegmentsOnTheirLines(target, format, 1252);
    }
    // Blank lines and every kind of break, with Shift-JIS text.
    const std::string japanese =
        dir.write("j.txt",
                  "<brx \"I2.00\">\r\n<language \"Japanese\">\r\n<quotes \"As text\">\r"
                  "<readonly \"Translate\">\n\n<file \"x\">\r\n\r\n<page \"1\">\r"
                  "<ps \"Body\">\x83\x65\x83\x58\x83\x67<:b>\x93\xfa\x96\x7b<:/b>\r\n"
                  "<ps \"Body\">\n\n<tb 1>\r</tb>\n</page>\n</file \"x\">\r\n</brx>\r\n"
                  "<ps \"A\">\n<ps \"B\">\n<ps \"C\">\n<ps \"D\">\n");
    expectSegmentsOnTheirLines(japanese, FileFormat::Text, 932);
    const FileText file = readFileText(japanese, FileFormat::Text, 932);
    EXPECT_EQ(file.lines[8],
              "<ps \"Body\">\xe3\x83\x86\xe3\x82\xb9\xe3\x83\x88<:b>\xe6\x97\xa5\xe6\x9c\xac<:/b>");
}

TEST(FileText, FilesThatCannotBeReadSayWhyAndNeverThrow) {
    TempDir dir;
    const FileText missing = readFileText(dir.dir() + "none.txt", FileFormat::Text, 1252);
    EXPECT_TRUE(missing.lines.empty());
    EXPECT_FALSE(missing.failure.empty());
    const std::string notRtf = dir.write("x.rtf", kHeader + "<ps \"Body\">x\n");
    const FileText rtf = readFileText(notRtf, FileFormat::Rtf, 1252);
    EXPECT_FALSE(rtf.failure.empty());
    // A text file the loader refuses is still shown, only without segments to mark.
    const std::string broken = dir.write("b.txt", "not a brx file\nsecond line\n");
    const FileText text = readFileText(broken, FileFormat::Text, 1252);
    EXPECT_EQ(text.failure, "");
    EXPECT_EQ(text.lines.size(), 2u);
    EXPECT_TRUE(text.segmentLines.empty());
}

TEST(FileText, ASegmentRunsToTheLineBeforeTheNextTag) {
    FileText file;
    file.lines = {"<brx>", "<ps \"Body\">one", "two", "<ps \"Body\">three", "four <tb 1>", "x"};
    file.segmentLines = {1, 2, 4, 5};
    EXPECT_EQ(segmentRange(file, 1, 2), (LineRange{2, 3}));
    // The next tag does not begin its line: the segment's text ends on that line.
    EXPECT_EQ(segmentRange(file, 2, 4), (LineRange{4, 5}));
    EXPECT_EQ(segmentRange(file, 3, 5), (LineRange{5, 6}));
    // A segment the file does not have, or on another line than the finding says: its line.
    EXPECT_EQ(segmentRange(file, 9, 3), (LineRange{3, 3}));
    EXPECT_EQ(segmentRange(file, 1, 3), (LineRange{3, 3}));
}

TEST(TagSpans, InternalAndExternalTagsAndTagsOverLineEnds) {
    TagScan scan;
    using Spans = std::vector<TagSpan>;
    EXPECT_EQ(tagSpans(u"<ps \"Body\">Hallo <:b>Welt<:/b>", scan),
              (Spans{{0, 11, false}, {17, 4, true}, {25, 5, true}}));
    EXPECT_EQ(scan.depth, 0);
    // Brackets inside a tag are counted, as the loader counts them.
    EXPECT_EQ(tagSpans(u"a <x <y> z> b > c", scan), (Spans{{2, 9, false}}));
    EXPECT_EQ(tagSpans(u"text <:cs \"Menu", scan), (Spans{{5, 10, true}}));
    EXPECT_EQ(scan.depth, 1);
    EXPECT_EQ(tagSpans(u"Item\"> more", scan), (Spans{{0, 6, true}}));
    EXPECT_EQ(scan.depth, 0);
    EXPECT_EQ(tagSpans(u"\u65e5\u672c<:b>", scan), (Spans{{2, 4, true}}));
}

TEST(WindowLayout, KeptBetweenRunsAndNonsenseLeftOut) {
    MemoryStore store;
    EXPECT_EQ(readWindowLayout(store), WindowLayout{});
    const WindowLayout layout{{900, 700}, 300, 250, {1000, 600}, 480, 470};
    writeWindowLayout(store, layout);
    EXPECT_EQ(readWindowLayout(store), layout);
    EXPECT_EQ(store.values.count({"WINDOW", "WIDTH"}), 1u);

    store.writeInt("WINDOW", "WIDTH", -5);
    store.writeInt("WINDOW", "RESULTS_HEIGHT", 2000000000);
    store.writeString("WINDOW", "SOURCE_WIDTH", "wide");
    const WindowLayout read = readWindowLayout(store);
    // A size with one side missing is no size.
    EXPECT_EQ(read.sheet, Size{});
    EXPECT_EQ(read.resultsHeight, 0);
    EXPECT_EQ(read.sourceWidth, 0);
    EXPECT_EQ(read.findingsHeight, 250);
}

TEST(WindowLayout, NeverSmallerThanThePagesNeedUnlessTheScreenIs) {
    const Size needed{668, 498};
    EXPECT_EQ(smallestSize(needed, {1280, 900}), needed);
    // 200% on 1280 x 900 leaves 640 x 450 to lay out in.
    EXPECT_EQ(smallestSize(needed, {640, 450}), (Size{640, 450}));
    EXPECT_EQ(smallestSize(needed, {}), needed);

    const Size smallest{668, 498};
    const Size screen{1280, 900};
    EXPECT_EQ(openingSize({}, {700, 520}, smallest, screen), (Size{700, 520}));
    EXPECT_EQ(openingSize({1000, 800}, {700, 520}, smallest, screen), (Size{1000, 800}));
    // Left larger on a larger screen, or smaller by an older version: brought within bounds.
    EXPECT_EQ(openingSize({2000, 1500}, {700, 520}, smallest, screen), (Size{1280, 900}));
    EXPECT_EQ(openingSize({300, 200}, {700, 520}, smallest, screen), smallest);
}

}  // namespace
}  // namespace brevo::app
