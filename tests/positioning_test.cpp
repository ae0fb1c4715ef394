#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "brx/tag_pieces.h"
#include "brx/tag_vocabulary.h"
#include "test_support.h"
#include "verify/external_positioning.h"
#include "verify/pair_outcome.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

const std::string kTop = "+++++++++++++ Text Segment +++++++++++++";
const std::string kBottom = "++++++++++++++++++++++++++++++++++++++++\n";
const std::string kMarkerNote =
    "\nSee the on-line help system or the User Guide for more information about marker length.";

Lines piecesOf(std::string_view text) {
    Lines pieces;
    TagPieceReader reader(text);
    while (auto piece = reader.next()) {
        const char* kind = piece->kind == TagPiece::Kind::Tag ? "T:" : "R:";
        pieces.push_back(kind + std::string(piece->text));
    }
    return pieces;
}

VerifyStatus statusOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const BrxFailure& failure) {
        return statusOf(failure.error);
    }
    return VerifyStatus::Completed;
}

::testing::AssertionResult beginsWith(const std::string& text, std::string_view prefix) {
    if (text.starts_with(prefix)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "\"" << text << "\" does not begin with \"" << prefix << "\"";
}

TEST(TagPieces, SplitsRunsAndWholeTagsDroppingTheAddedMark) {
    EXPECT_EQ(piecesOf("<page \"1\">Hello <:b>world<:/b>\n"),
              (Lines{"T:<page \"1\">", "R:Hello ", "T:<:b>", "R:world", "T:<:/b>", "R:\n"}));
    EXPECT_EQ(piecesOf("<fn \"<a<b>>\">x>y"), (Lines{"T:<fn \"<a<b>>\">", "R:x>y"}));
    EXPECT_EQ(piecesOf("<#imk><#:b>a<x#>"), (Lines{"T:<imk>", "T:<:b>", "R:a", "T:<x#>"}));
    EXPECT_EQ(piecesOf(std::string("a\0b<:\0>", 7)),
              (Lines{"R:" + std::string("a\0b", 3), "T:" + std::string("<:\0>", 4)}));
    EXPECT_EQ(piecesOf(""), Lines{});
}

TEST(TagPieces, UnterminatedTagIsAParserError) {
    EXPECT_EQ(statusOf([] { piecesOf("abc<:b"); }), VerifyStatus::ParserError);
    EXPECT_EQ(statusOf([] { piecesOf("<a<b>"); }), VerifyStatus::ParserError);
}

// Segments cut and classified as the run does before this pass.
std::vector<Segment> segmentsOf(const Lines& lines) {
    std::vector<Segment> segments = test::segmentsOf(lines);
    for (Segment& segment : segments) {
        if (auto match = classifyTag(segment.tagText())) segment.id = match->id;
    }
    return segments;
}

Segment segment(std::string_view tagText, TagId id, std::string_view after) {
    Segment made = test::segmentWithTag(tagText, after);
    made.id = id;
    return made;
}

class Positioning : public ::testing::Test {
protected:
    Lines check(const std::vector<Segment>& segments) {
        checkExternalPositioning(segments, findings);
        return Lines(log.lines().begin(), log.lines().end());
    }
    Lines check(const Lines& lines) { return check(segmentsOf(lines)); }

    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer{log, FileFormat::Text, languages};
    Findings findings{writer};
};

TEST_F(Positioning, OnlyTextTagsMayHoldTextInTheSkeleton) {
    Lines skeleton{"<file \"x\">",           "<page \"1\">", "<tb 2>", "<row 1>", "<ct 1>",
                   "<ps \"Body\">Some text", "</ct>",        "</row>", "</tb>",   "</page>",
                   "</file \"x\">",          "</brx>"};
    EXPECT_EQ(check(skeleton), Lines{});
    skeleton[4] = "<ct 1>Some text";
    EXPECT_EQ(check(skeleton),
              (Lines{"[1] ERROR! There may be no text or internal tags between <ct 1> and the next "
                     "external tag.",
                     kTop, "<ct 1>Some text", kBottom}));
}

TEST_F(Positioning, NoTextRuleIgnoresOnlyFinalLineFeeds) {
    EXPECT_EQ(check({segment("<page \"1\">", 8, "\n\n\n"), segment("</tr>", 5, "")}), Lines{});
    Lines lines = check({segment("<page \"1\">", 8, " \n"), segment("</ts>", 7, "\r"),
                         segment("<tb 3>", 37, "<:b>\n"), segment("<cnmk 1>", 53, "\nx\n")});
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0],
              "[1] ERROR! There may be no text or internal tags between <page \"1\"> and the "
              "next external tag.");
    EXPECT_EQ(lines[2], "<page \"1\"> ");
    EXPECT_TRUE(
        beginsWith(lines[4], "[2] ERROR! There may be no text or internal tags between </ts>"));
    EXPECT_EQ(lines[10], "<tb 3><:b>");
    EXPECT_EQ(lines[14], "<cnmk 1>\nx");
}

TEST_F(Positioning, TextTagsAreNeverMeasuredOrJudged) {
    EXPECT_EQ(check({segment("<ps \"B\">", 0, "a<:b"), segment("<pn \"1\">", 1, "x"),
                     segment("<ts 1>", 6, "x"), segment("<tl 1>", 15, "x"),
                     segment("<ctart 1>", 25, "x"), segment("<vfmt \"v\">", 67, "x"),
                     segment("<pnfmt \"p\">", 69, "x"), segment("<what>", 123, "x")}),
              Lines{});
}

TEST_F(Positioning, TextAfterTheEndOfTheFile) {
    EXPECT_EQ(check({segment("</brx>", 36, "\n")}), Lines{});
    EXPECT_EQ(check({segment("</brx>", 36, "\nx\n")}),
              (Lines{"[1] ERROR! There may be no text or internal tags after </brx>.", kTop,
                     "</brx>\nx", kBottom}));
}

TEST_F(Positioning, CrossReferenceTextLength) {
    const std::string twenty = "abcdefghij\nklmn<:b>pqrs\n";  // 10 + 1 + 4 + 1 + 4
    EXPECT_EQ(check({segment("<xrv \"N\">", 2, twenty + "\n")}), Lines{});
    detail::setCountsSoFar(findings, {7, 0, 0});
    EXPECT_EQ(check({segment("<xrv \"N\">", 2, twenty + "<:/b>\n")}),
              (Lines{"[8] ERROR! The text in <xrv \"N\"> is 1 character(s) too long.", kTop,
                     "<xrv \"N\">" + twenty + "<:/b>", kBottom}));
    log = {};
    EXPECT_EQ(check({segment("<xrv \"N\">", 2, std::string(20, '\x82') + "z")})[0],
              "[9] ERROR! The text in <xrv \"N\"> is 1 character(s) too long.");
}

TEST_F(Positioning, IndexEntriesNameTheMarkerCarriedAcrossSegments) {
    const std::string limit(250, 'e');
    Lines lines = check({segment("<ie>", 31, limit + "x"), segment("<imk \"a\">", 29, ""),
                         segment("<ie>", 31, limit), segment("<il>", 32, limit + "<:b>"),
                         segment("<ps \"B\">", 0, ""), segment("<ss>", 33, limit + "xyz"),
                         segment("</imk>", 30, ""), segment("<imk>", 29, "\n"),
                         segment("<sa>", 34, limit + "\n\nx")});
    EXPECT_EQ(lines, (Lines{"[1] ERROR! The text in the index marker  is 1 character(s) too long." +
                                kMarkerNote,
                            "[2] ERROR! The text in the index marker <imk \"a\"> is 1 character(s) "
                            "too long." +
                                kMarkerNote,
                            "[3] ERROR! The text in the index marker <imk \"a\"> is 3 character(s) "
                            "too long." +
                                kMarkerNote,
                            "[4] ERROR! The text in the index marker <imk> is 3 character(s) too "
                            "long." +
                                kMarkerNote}));
}

TEST_F(Positioning, IndexMarkerTagsTakeNoTextButTheirAddedForm) {
    Lines lines = check({segment("<#imk>", 29, "\n"), segment("<#/imk>", 30, ""),
                         segment("<imk \"m\">", 29, "x"), segment("</imk>", 30, "y"),
                         segment("<ie>", 31, std::string(251, 'e'))});
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_TRUE(beginsWith(lines[0],
                           "[1] ERROR! There may be no text or internal tags between <imk \"m\">"));
    EXPECT_TRUE(
        beginsWith(lines[4], "[2] ERROR! There may be no text or internal tags between </imk>"));
    EXPECT_TRUE(beginsWith(lines[8], "[3] ERROR! The text in the index marker <imk \"m\"> is"));
}

TEST_F(Positioning, BuildingBlocksByName) {
    Lines lines = check(
        {segment("<bb \"Prefix\">", 61, "123456789\n"),
         segment("<bb \"Level 1\">", 61, "nothing here"), segment("<anfmt \"Numbered\">", 62, ""),
         segment("<bb \"Prefix\">", 61, "1234567890"), segment("<pgfmt \"Page\">", 64, "\n"),
         segment("<bb \"Level 1\">", 61, std::string(16, 'l')),
         segment("<bb \"Prefix Format\">", 61, std::string(11, 'p')),
         segment("<bb \"Shared Frame Format\">", 61, "any text"),
         segment("<bb \"Autonumber Stream Format\">", 61, "any text"),
         segment("<bb \"Variable Format\">", 61, "any text"),
         segment("<bb \"Other\">", 61, "text")});
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[0],
              "[1] ERROR! The text in <bb \"Prefix\"> in <anfmt \"Numbered\"> is 1 "
              "character(s) too long.");
    EXPECT_EQ(lines[2], "<bb \"Prefix\">1234567890");
    EXPECT_EQ(lines[4],
              "[2] ERROR! The text in <bb \"Level 1\"> in <pgfmt \"Page\"> is 1 "
              "character(s) too long.");
    EXPECT_EQ(lines[8],
              "[3] ERROR! The text in <bb \"Prefix Format\"> in <pgfmt \"Page\"> is 2 "
              "character(s) too long.");
    EXPECT_EQ(lines[12],
              "[4] ERROR! There may be no text or internal tags between <bb \"Other\"> "
              "and the next external tag.");
}

TEST_F(Positioning, BlocksBeforeAnyFormatAndFormatsWithText) {
    Lines lines = check({segment("<bb \"Level\">", 61, std::string(17, 'l')),
                         segment("<anfmt \"A\">", 62, "x"),
                         segment("<bb \"Prefix\">", 61, std::string(10, 'p'))});
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], "[1] ERROR! The text in <bb \"Level\"> in  is 2 character(s) too long.");
    EXPECT_TRUE(beginsWith(
        lines[4], "[2] ERROR! There may be no text or internal tags between <anfmt \"A\">"));
    EXPECT_EQ(lines[8],
              "[3] ERROR! The text in <bb \"Prefix\"> in <anfmt \"A\"> is 1 character(s) "
              "too long.");
}

TEST_F(Positioning, UnterminatedTagFailsOnlyWhereTextIsMeasured) {
    EXPECT_EQ(statusOf([&] { check({segment("<tb 1>", 37, "<:b")}); }), VerifyStatus::Completed);
    for (Segment measured : {segment("<xrv \"N\">", 2, "a<:b"), segment("<sa>", 34, "<:b\n"),
                             segment("<bb \"Level 2\">", 61, "<:cs \"x\"")}) {
        EXPECT_EQ(statusOf([&] { check({measured}); }), VerifyStatus::ParserError);
    }
}

TEST_F(Positioning, RtfLinesMarkTheirTags) {
    ReportLog rtfLog;
    ReportLineWriter rtfWriter(rtfLog, FileFormat::Rtf, languages);
    Findings rtfFindings(rtfWriter);
    checkExternalPositioning({segment("<tb 3>", 37, "x"), segment("<imk>", 29, ""),
                              segment("<ie>", 31, std::string(251, 'e'))},
                             rtfFindings);
    Lines lines(rtfLog.lines().begin(), rtfLog.lines().end());
    ASSERT_EQ(lines.size(), 5u);
    const std::string tagGroup = "{\\cs5\\cf15\\f1\\lang1024 <tb 3>}";
    const std::string paragraph = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20";
    EXPECT_TRUE(lines[0].starts_with(paragraph + "\\f1 [1] ERROR! "));
    EXPECT_NE(lines[0].find(tagGroup + " and"), std::string::npos);
    EXPECT_EQ(lines[2], paragraph + "\\f3 " + tagGroup + "x");
    EXPECT_TRUE(lines[4].starts_with(paragraph + "\\f1 [2] ERROR! "));
    EXPECT_NE(lines[4].find("marker {\\cs5\\cf15\\f1\\lang1024 <imk>} is 1"), std::string::npos);
}

// A clean file with one index entry; `body` replaces the text of the page's cell.
std::string tableFile(std::string_view cell, std::string_view entry) {
    std::string body = "<file \"x\">\n<page \"1\">\n<tb 1>\n<row 1>\n<ct 1>";
    body += cell;
    body += "\n<ps \"Body\">Hello\n</ct>\n</row>\n</tb>\n<imk \"m\">\n<ie>";
    body += entry;
    body += "\n</imk>\n</page>\n</file \"x\">\n</brx>\n";
    return test::brxText(body);
}

struct RunResult {
    VerifyStatus status;
    std::string report;  // without its date line
};

RunResult runPair(const std::string& source, const std::string& target) {
    test::TempDir dir;
    dir.write("src/PAIR.TXT", source);
    dir.write("tgt/PAIR.TXT", target);
    VerifyJob job{"PAIR", ".TXT", dir.dir() + "src/", dir.dir() + "tgt/", {}, {}};
    NoProgress progress;
    RunResult result{verifyPair(job, progress).status, ""};
    result.report = test::readFile(job.reportPath());
    const std::size_t date = result.report.find("\r\nDate/Time: ");
    if (date != std::string::npos) {
        result.report.erase(date, result.report.find("\r\n", date + 2) - date);
    }
    // The paths are the job's; the rest of the report is what the pair decides.
    for (const std::string& dirPath : {job.sourceDir, job.targetDir}) {
        for (std::size_t at; (at = result.report.find(dirPath)) != std::string::npos;) {
            result.report.replace(at, dirPath.size(), "");
        }
    }
    return result;
}

// The text report of a pair with one error: header, totals, `body`, the error block.
std::string oneErrorReport(const Lines& body) {
    const std::string dashes(69, '-');
    const std::string stars(64, '*');
    Lines lines{dashes,
                "Verification Report generated by The Brevo Verifier",
                "Source File: PAIR.TXT",
                "Target File: PAIR.TXT",
                "Errors: 1",
                dashes + "\n"};
    lines.insert(lines.end(), body.begin(), body.end());
    lines.insert(lines.end(),
                 {"\n" + stars,
                  "The file contains errors that must be corrected before it can be converted!",
                  "Fix the problem(s) and run The Brevo Verifier again.", stars + "\n"});
    std::string text;
    for (const std::string& line : lines) {
        for (char c : line) text += c == '\n' ? std::string("\r\n") : std::string(1, c);
        text += "\r\n";
    }
    return text;
}

TEST(PositioningRun, SourceFaultStopsThePairAfterTheTargetsForm) {
    RunResult result = runPair(tableFile("Cell text", "short"), tableFile("", "short"));
    EXPECT_EQ(result.status, VerifyStatus::NotFullyCompared);
    EXPECT_EQ(
        result.report,
        oneErrorReport({"\nVerify positioning of external source tags", std::string(42, '=') + "\n",
                        "[1] ERROR! There may be no text or internal tags between <ct 1> "
                        "and the next external tag.",
                        kTop, "<ct 1>Cell text", kBottom}));
}

TEST(PositioningRun, LongIndexEntryInTheTarget) {
    RunResult result = runPair(tableFile("", "short"), tableFile("", std::string(252, 'e')));
    EXPECT_EQ(result.status, VerifyStatus::Completed);
    EXPECT_EQ(
        result.report,
        oneErrorReport({"\nVerify positioning of external target tags", std::string(42, '=') + "\n",
                        "[1] ERROR! The text in the index marker <imk \"m\"> is 2 "
                        "character(s) too long." +
                            kMarkerNote}));
}

}  // namespace
}  // namespace brevo
