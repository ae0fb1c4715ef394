#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brx/brx_loader.h"
#include "brx/tag_vocabulary.h"
#include "report/line_writer.h"
#include "test_support.h"
#include "verify/external_structure.h"
#include "verify/findings.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

const std::string kFrameTop = "+++++++++++++ Text Segment +++++++++++++";
const std::string kFrameBottom = std::string(40, '+') + "\n\n";

// Segments of a file body, classified as the validity pass would.
std::vector<Segment> segmentsOf(const Lines& lines) {
    std::vector<Segment> segments = test::segmentsOf(lines);
    for (Segment& segment : segments) {
        if (auto match = classifyTag(segment.tagText())) {
            segment.id = match->id;
            segment.tagClass = match->tagClass;
        }
    }
    return segments;
}

struct Checked {
    Lines report;
    int messages = 0;
};

Checked checkSegments(const std::vector<Segment>& segments) {
    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer(log, FileFormat::Text, languages);
    Findings findings(writer);
    checkExternalStructure(segments, findings);
    return {Lines(log.lines().begin(), log.lines().end()), findings.numbered()};
}

Checked check(const Lines& lines) {
    return checkSegments(segmentsOf(lines));
}

// A message with the text of its segment and both neighbours.
Lines around(const std::string& message, const std::string& joinedText) {
    return {message, kFrameTop, joinedText, kFrameBottom};
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

const Lines kHeader = {"<brx \"I2.00\">", "<language \"German\">", "<quotes \"As text\">",
                       "<readonly \"Translate\">"};

Lines withHeader(const Lines& body) {
    Lines lines = kHeader;
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

TEST(ExternalStructure, WellFormedFileIsClean) {
    Checked result = check(withHeader({"<file \"x\">",   "<anfmt \"A\">", "<bb \"Prefix\">",
                                       "</anfmt>",       "<page \"1\">",  "<tb 2>",
                                       "<row 1>",        "<ct 1>",        "<ps \"Body\">Some text",
                                       "</ct>",          "</row>",        "</tb>",
                                       "<af 1>",         "<tr 1>",        "<imk>",
                                       "<ie>",           "<il>",          "<ss>",
                                       "</imk>",         "</tr>",         "</af>",
                                       "<fn 1>",         "<af 2>",        "<tr 1>",
                                       "<ps \"Note\">x", "</tr>",         "</af>",
                                       "</fn>",          "</page>",       "</file \"x\">",
                                       "</brx>"}));
    EXPECT_EQ(result.report, Lines{});
    EXPECT_EQ(result.messages, 0);
}

TEST(ExternalStructure, NeighbourBlockJoinsTheSegmentsAroundTheFault) {
    // Middle of the file: previous, own and next text, each with its line feeds.
    Checked middle =
        check(withHeader({"<page \"1\">Before", "<row 1>", "<ps \"P\">after", "</brx>"}));
    EXPECT_EQ(middle.report, around("[1] ERROR! <row 1> is not allowed in the context of "
                                    "<page> to </page> on <page \"1\">.",
                                    "<page \"1\">Before\n<row 1>\n<ps \"P\">after"));

    // First and last segments have only one neighbour.
    Checked first = check({"</brx>", "<brx \"I2.00\">"});
    EXPECT_EQ(first.report, concat({around("[1] ERROR! </brx> is not allowed in the context of  .",
                                           "</brx>\n<brx \"I2.00\">"),
                                    {"[2] ERROR! </brx> missing at the end of the file."}}));
    Checked last = check({"<brx \"I2.00\">", "</brx>", "<page \"9\">tail"});
    EXPECT_EQ(last.report,
              around("[1] ERROR! No tag(s) are allowed after the end of the BRX file (</brx>).",
                     "</brx>\n<page \"9\">tail"));
}

TEST(ExternalStructure, NeighbourBlockMarksTagsAndUsesTheDumpStyle) {
    std::vector<Segment> segments = segmentsOf({"<brx \"I2.00\">", "<tb 1>x", "</page>"});
    ReportLog log;
    LanguageSettings languages;
    languages.targetCodePage = 1251;
    ReportLineWriter writer(log, FileFormat::Rtf, languages);
    Findings findings(writer);
    findings.quoteFrom(Side::Target);
    checkExternalStructure(segments, findings);

    const std::string message =
        "[1] ERROR! <tb 1> is not allowed in the context of <brx \"I2.xx\"> to </brx> .";
    const Lines expected = {
        detail::encodeRtfLine(message, Marking::Tags, ParagraphStyle::Report, 1252, 1251),
        detail::encodeRtfLine(kFrameTop, Marking::Plain, ParagraphStyle::Report, 1252, 1251),
        detail::encodeRtfLine("<brx \"I2.00\">\n<tb 1>x\n</page>", Marking::Tags,
                              ParagraphStyle::Target, 1252, 1251),
        detail::encodeRtfLine(kFrameBottom, Marking::Plain, ParagraphStyle::Report, 1252, 1251),
        detail::encodeRtfLine("[2] ERROR! </brx> missing at the end of the file.", Marking::Tags,
                              ParagraphStyle::Report, 1252, 1251),
    };
    EXPECT_EQ(Lines(log.lines().begin(), log.lines().end()), expected);
}

TEST(ExternalStructure, PageBeforeHeader) {
    const std::string pageFault =
        "[1] ERROR! <page \"1\"> is not allowed in the context of  on <page \"1\">.";
    // The switch is off after the page, so the misplaced table is not reported; the header
    // that follows is still accepted and its missing end is reported.
    Checked withLaterHeader = check({"<page \"1\">", "<tb 1>", "<brx \"I2.00\">"});
    EXPECT_EQ(withLaterHeader.report,
              concat({around(pageFault, "<page \"1\">\n<tb 1>"),
                      {"[2] ERROR! </brx> missing at the end of the file."}}));

    Checked withoutHeader = check({"<page \"1\">", "<tb 1>"});
    EXPECT_EQ(withoutHeader.report, around(pageFault, "<page \"1\">\n<tb 1>"));
}

TEST(ExternalStructure, PageInsideOpenPageBlamesTheNewPage) {
    Checked result = check(withHeader({"<file \"a\">", "<page \"1\">", "<tb 1>", "<page \"2\">",
                                       "<row 1>", "</page>", "</file \"a\">", "</brx>"}));
    // The open table and page are unwound, so page 2 opens normally and reports its own fault.
    EXPECT_EQ(result.report,
              concat({around("[1] ERROR! <page \"2\"> is not allowed in the context of <tb ?> "
                             "to </tb> on <page \"1\">.",
                             "<tb 1>\n<page \"2\">\n<row 1>"),
                      around("[2] ERROR! <row 1> is not allowed in the context of <page> to "
                             "</page> on <page \"2\">.",
                             "<page \"2\">\n<row 1>\n</page>")}));
}

TEST(ExternalStructure, PageInsideEmptyOpenPage) {
    Checked result = check(withHeader({"<page \"1\">", "<page \"2\">", "</page>", "</brx>"}));
    EXPECT_EQ(result.report, around("[1] ERROR! <page \"2\"> is not allowed in the context of "
                                    "<page> to </page> on <page \"1\">.",
                                    "<page \"1\">\n<page \"2\">\n</page>"));
}

TEST(ExternalStructure, OpenPageAfterAFaultIsNotReportedAgain) {
    Checked result =
        check(withHeader({"<page \"1\">", "<row 1>", "<page \"2\">", "</page>", "</brx>"}));
    EXPECT_EQ(result.messages, 1);
    EXPECT_EQ(result.report[0],
              "[1] ERROR! <row 1> is not allowed in the context of <page> to </page> on "
              "<page \"1\">.");
}

TEST(ExternalStructure, ElementsLeftOpen) {
    // A file never closed: named at </brx>, unwound to the header, and the walk ends cleanly.
    Checked file = check(withHeader({"<file \"a\">", "<page \"1\">", "</page>", "</brx>"}));
    EXPECT_EQ(file.report, Lines{"[1] ERROR! <file> without ending tag on <page \"1\">!"});

    // A page without a file: the page is the first open element at </brx>.
    Checked page = check(withHeader({"<page \"1\">", "<tb 1>", "<row 1>", "</brx>"}));
    EXPECT_EQ(page.report, Lines{"[1] ERROR! <page> without ending tag on <page \"1\">!"});

    // A format left open when the first page starts; the page itself is then accepted.
    Checked format = check(withHeader({"<file \"a\">", "<anfmt \"A\">", "<page \"1\">", "<tb 1>",
                                       "</tb>", "</page>", "</file \"a\">", "</brx>"}));
    EXPECT_EQ(format.report, Lines{"[1] ERROR! <anfmt ?> without ending tag in <file \"a\">!"});

    // A new file closes everything of the previous one, the file first.
    Checked nextFile = check(
        withHeader({"<file \"a\">", "<vfmt \"V\">", "<file \"b\">", "</file \"b\">", "</brx>"}));
    EXPECT_EQ(nextFile.report, Lines{"[1] ERROR! <file> without ending tag in <file \"a\">!"});
}

TEST(ExternalStructure, OpenElementsAreNotReportedAfterAFaultOnThePage) {
    Checked result = check(withHeader({"<page \"1\">", "<af 1>", "<tr 1>", "</page>", "</brx>"}));
    EXPECT_EQ(result.report, around("[1] ERROR! </page> without starting tag on <page \"1\">!",
                                    "<tr 1>\n</page>\n</brx>"));
}

TEST(ExternalStructure, OneFaultPerPage) {
    Checked result = check(withHeader({"<page \"1\">", "<row 1>", "<ct 1>", "</tb>", "</page>",
                                       "<page \"2\">", "<ctart 1>", "</page>", "</brx>"}));
    ASSERT_EQ(result.messages, 2);
    EXPECT_EQ(result.report[0],
              "[1] ERROR! <row 1> is not allowed in the context of <page> to </page> on "
              "<page \"1\">.");
    EXPECT_EQ(result.report[4],
              "[2] ERROR! <ctart 1> is not allowed in the context of <page> to </page> on "
              "<page \"2\">.");
}

TEST(ExternalStructure, FileTagsAreReportedWhateverTheSwitch) {
    // </file outside a file after another fault on the page.
    Checked endFile =
        check(withHeader({"<page \"1\">", "<row 1>", "</file \"a\">", "</page>", "</brx>"}));
    ASSERT_EQ(endFile.messages, 2);
    EXPECT_EQ(endFile.report[4],
              "[2] ERROR! </file \"a\"> is not allowed in the context of <page> to </page> on "
              "<page \"1\">.");

    // A misplaced <file leaves reporting on, so the page after it is reported too.
    Checked file = check({"<file \"a\">", "<page \"1\">"});
    EXPECT_EQ(file.report,
              concat({around("[1] ERROR! <file \"a\"> is not allowed in the context of  in "
                             "<file \"a\">.",
                             "<file \"a\">\n<page \"1\">"),
                      around("[2] ERROR! <page \"1\"> is not allowed in the context of  on "
                             "<page \"1\">.",
                             "<file \"a\">\n<page \"1\">")}));
}

TEST(ExternalStructure, IndexMarkers) {
    Checked direct =
        check(withHeader({"<page \"1\">", "<imk>", "<il>", "</imk>", "</page>", "</brx>"}));
    EXPECT_EQ(direct.report,
              around("[1] ERROR! <imk> must be followed by a <ie> tag.", "<imk>\n<il>\n</imk>"));

    Checked clean = check(withHeader(
        {"<page \"1\">", "<imk>", "<ie>", "<il>", "<sa>", "</imk>", "</page>", "</brx>"}));
    EXPECT_EQ(clean.report, Lines{});

    // Index elements outside a marker are only misplaced.
    Checked outside = check(withHeader({"<page \"1\">", "<ie>", "</page>", "</brx>"}));
    EXPECT_EQ(outside.report,
              around("[1] ERROR! <ie> is not allowed in the context of <page> to </page> on "
                     "<page \"1\">.",
                     "<page \"1\">\n<ie>\n</page>"));

    // A new page forgets the marker still waiting for its <ie>.
    Checked nextPage = check(withHeader(
        {"<page \"1\">", "<imk>", "</page>", "<page \"2\">", "<ss>", "</page>", "</brx>"}));
    ASSERT_EQ(nextPage.messages, 2);
    EXPECT_EQ(nextPage.report[0], "[1] ERROR! </page> without starting tag on <page \"1\">!");
    EXPECT_EQ(nextPage.report[4],
              "[2] ERROR! <ss> is not allowed in the context of <page> to </page> on "
              "<page \"2\">.");
}

TEST(ExternalStructure, TagsAfterTheEndOfTheFile) {
    Checked result = check({"<brx \"I2.00\">", "</brx>", "<page \"1\">", "<cnmk 3>x"});
    EXPECT_EQ(result.report,
              concat({around("[1] ERROR! No tag(s) are allowed after the end of the BRX file "
                             "(</brx>).",
                             "</brx>\n<page \"1\">\n<cnmk 3>x"),
                      around("[2] ERROR! No tag(s) are allowed after the end of the BRX file "
                             "(</brx>).",
                             "<page \"1\">\n<cnmk 3>x")}));
}

TEST(ExternalStructure, TagsWithoutRulesAreNeverExamined) {
    Checked result = check({"<cnmk 3>", "<brx \"I2.00\">", "<cnmk 4>", "<zz 1>", "<page \"1\">",
                            "<whatever>", "</page>", "<unknown>", "</brx>"});
    EXPECT_EQ(result.report, Lines{});
}

TEST(ExternalStructure, SecondHeaderAndHeaderTagsOutOfPlace) {
    Checked result = check(withHeader(
        {"<page \"1\">", "<language \"French\">", "</page>", "<brx \"I2.00\">", "</brx>"}));
    ASSERT_EQ(result.messages, 1);
    EXPECT_EQ(result.report[0],
              "[1] ERROR! <language \"French\"> is not allowed in the context of <page> to "
              "</page> on <page \"1\">.");

    // A second header inside the first.
    Checked second = check(withHeader({"<brx \"I2.00\">", "</brx>"}));
    EXPECT_EQ(second.report,
              around("[1] ERROR! <brx \"I2.00\"> is not allowed in the context of <brx "
                     "\"I2.xx\"> to </brx> .",
                     "<readonly \"Translate\">\n<brx \"I2.00\">\n</brx>"));
}

// Large damaged files must be walked in linear time; the results stay exact.
TEST(ExternalStructure, ManyUnmatchedTags) {
    constexpr int kCount = 100000;
    Lines body = {"<page \"1\">", "<af 1>"};
    for (int i = 0; i < kCount; ++i) body.push_back("<af 1>");
    for (int i = 0; i < kCount; ++i) body.push_back("</fn>");
    body.push_back("</brx>");
    Checked onePage = check(withHeader(body));
    ASSERT_EQ(onePage.messages, 1);
    EXPECT_EQ(onePage.report[0],
              "[1] ERROR! <af 1> is not allowed in the context of <af ?> to </af> on "
              "<page \"1\">.");

    // Every page leaves a table open: one report per page.
    Lines pages;
    for (int i = 0; i < kCount; ++i) {
        pages.push_back("<page \"" + std::to_string(i) + "\">");
        pages.push_back("<tb 1>");
    }
    pages.push_back("</brx>");
    Checked manyPages = check(withHeader(pages));
    EXPECT_EQ(manyPages.messages, kCount);
    EXPECT_EQ(manyPages.report.size(), 4u * (kCount - 1) + 1);
    EXPECT_EQ(manyPages.report.back(),
              "[100000] ERROR! <page> without ending tag on <page \"99999\">!");
}

}  // namespace
}  // namespace brevo
