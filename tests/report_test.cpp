#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/file_failure.h"
#include "report/date_time.h"
#include "report/line_writer.h"
#include "report/report_file.h"
#include "test_support.h"

namespace brevo {
namespace {

const std::string kPrefix1 = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f1 ";
const std::string kPrefix3 = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f3 ";
const std::string kPrefix4 = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f4 ";
const std::string kExternalGroup = "{\\cs5\\cf15\\f1\\lang1024 ";
const std::string kInternalGroup = "{\\cs6\\cf6\\f1\\lang1024 ";

TEST(RtfLine, WrapsTagsInTheirCharacterStyles) {
    EXPECT_EQ(detail::encodeRtfLine("[1] ERROR! The tag <fn 3> is wrong.", Marking::Tags,
                                    ParagraphStyle::Report, 1252, 1252),
              kPrefix1 + "[1] ERROR! The tag " + kExternalGroup + "<fn 3>} is wrong.");
    EXPECT_EQ(detail::encodeRtfLine("a<:b>b", Marking::Tags, ParagraphStyle::Source, 1252, 1252),
              kPrefix3 + "a" + kInternalGroup + "<:b>}b");
    // Nested brackets stay inside the outer tag's one group.
    EXPECT_EQ(
        detail::encodeRtfLine("<tb <:a>>x", Marking::Tags, ParagraphStyle::Report, 1252, 1252),
        kPrefix1 + kExternalGroup + "<tb <:a>>}x");
}

TEST(RtfLine, UnmarkedLinesCopyBrackets) {
    EXPECT_EQ(detail::encodeRtfLine("a<fn 3>b", Marking::Plain, ParagraphStyle::Report, 1252, 1252),
              kPrefix1 + "a<fn 3>b");
}

TEST(RtfLine, CondensedTagsSwitchFontsBack) {
    EXPECT_EQ(
        detail::encodeRtfLine("<:c>x<:/c>y", Marking::Tags, ParagraphStyle::Target, 1252, 932),
        kPrefix4 + kInternalGroup + "<:c>}\\f3 x" + kInternalGroup + "<:/c>}\\f4 y");
    EXPECT_EQ(
        detail::encodeRtfLine("<:c>x<:/c>y", Marking::Tags, ParagraphStyle::Target, 1252, 1252),
        kPrefix3 + kInternalGroup + "<:c>}\\f3 x" + kInternalGroup + "<:/c>}\\f3 y");
}

TEST(RtfLine, StrayClosingBracketOpensNoGroupAndKeepsDepth) {
    EXPECT_EQ(detail::encodeRtfLine("a>b<c>", Marking::Tags, ParagraphStyle::Report, 1252, 1252),
              kPrefix1 + "a>b" + kExternalGroup + "<c>}");
}

TEST(RtfLine, EscapesSpecialAndHighBytes) {
    EXPECT_EQ(detail::encodeRtfLine(std::string("\\{}\t\xe9\x82\xa0\r\x01", 9), Marking::Plain,
                                    ParagraphStyle::Report, 1252, 1252),
              kPrefix1 + "\\'5c\\'7b\\'7d\\tab \\'e9\\'82\\'a0\r\x01");
    EXPECT_EQ(detail::encodeRtfLine("end\n", Marking::Plain, ParagraphStyle::Report, 1252, 1252),
              kPrefix1 + "end\n\\par ");
    EXPECT_EQ(detail::encodeRtfLine(std::string("a\0b", 3), Marking::Plain, ParagraphStyle::Report,
                                    1252, 1252),
              kPrefix1 + std::string("a\0b", 3));
}

TEST(RtfLine, UnfinishedTagStillClosesItsGroup) {
    EXPECT_EQ(detail::encodeRtfLine("x<fn", Marking::Tags, ParagraphStyle::Report, 1252, 1252),
              kPrefix1 + "x" + kExternalGroup + "<fn}");
}

TEST(RtfLine, FontByStyle) {
    EXPECT_EQ(detail::encodeRtfLine("", Marking::Plain, ParagraphStyle::Target, 1252, 1251),
              kPrefix4);
    EXPECT_EQ(detail::encodeRtfLine("", Marking::Plain, ParagraphStyle::Target, 1251, 1251),
              kPrefix3);
    EXPECT_EQ(detail::encodeRtfLine("", Marking::Plain, ParagraphStyle::Source, 1252, 1251),
              kPrefix3);
    EXPECT_EQ(detail::encodeRtfLine("", Marking::Plain, static_cast<ParagraphStyle>(7), 1252, 1251),
              kPrefix3);
}

TEST(DropFinalNewline, RemovesOnlyOne) {
    EXPECT_EQ(detail::dropFinalNewline("a\n\n"), "a\n");
    EXPECT_EQ(detail::dropFinalNewline("a"), "a");
    EXPECT_EQ(detail::dropFinalNewline(""), "");
}

std::vector<std::string> linesOf(const ReportLog& log) {
    return {log.lines().begin(), log.lines().end()};
}

TEST(LineWriter, TextReportsStoreLinesUnchanged) {
    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer(log, FileFormat::Text, languages);
    writer.addReportLine("{\\<x>}", Marking::Tags, ParagraphStyle::Target);
    writer.appendReportLine("[1] ERROR! m", Marking::Tags);
    writer.writeSegmentFrame("<page \"1\">text\n", Marking::Tags, ParagraphStyle::Source);
    writer.writeSourceAndTargetFrame("<a>src\n", "<a>tgt");
    EXPECT_EQ(linesOf(log), (std::vector<std::string>{
                                "{\\<x>}",
                                "[1] ERROR! m",
                                "+++++++++++++ Text Segment +++++++++++++",
                                "<page \"1\">text",
                                "++++++++++++++++++++++++++++++++++++++++\n",
                                "+++++++++++++++ Source Text +++++++++++++++",
                                "<a>src",
                                "+++++++++++++ Translated Text +++++++++++++",
                                "<a>tgt",
                                "+++++++++++++++++++++++++++++++++++++++++++\n",
                            }));
}

TEST(LineWriter, InsertsAfterAPositionAndReadsCodePagesLive) {
    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer(log, FileFormat::Rtf, languages);
    auto first = writer.addReportLine("a", Marking::Plain, ParagraphStyle::Target);
    writer.addReportLine("c", Marking::Plain, ParagraphStyle::Target);
    languages.targetCodePage = 1251;
    writer.addReportLine("b", Marking::Plain, ParagraphStyle::Target, first);
    EXPECT_EQ(linesOf(log),
              (std::vector<std::string>{kPrefix3 + "a", kPrefix4 + "b", kPrefix3 + "c"}));
}

TEST(TextReport, EveryLineEndsWithCrLfAndInnerLineFeedsToo) {
    test::TempDir dir;
    ReportLog log;
    log.append("\nHeading");
    log.append("====\n");
    log.append("x");
    writeTextReport(dir.dir() + "r.CMP", log);
    EXPECT_EQ(test::readFile(dir.path() / "r.CMP"), "\r\nHeading\r\n====\r\n\r\nx\r\n");
}

TEST(TextReport, UnwritablePathIsAFileFailure) {
    test::TempDir dir;
    ReportLog log;
    log.append("x");
    try {
        writeTextReport(dir.dir() + "missing/r.CMP", log);
        FAIL() << "no failure";
    } catch (const FileFailure& failure) {
        EXPECT_EQ(failure.cause, test::kNoSuchDirectory);
        EXPECT_EQ(failure.fileName, dir.dir() + "missing/r.CMP");
    }
}

TEST(DateTime, LongFormInTheCLocale) {
    // 2026-12-07 03:40:16 in the local zone.
    std::tm local{};
    local.tm_year = 126;
    local.tm_mon = 11;
    local.tm_mday = 7;
    local.tm_hour = 3;
    local.tm_min = 40;
    local.tm_sec = 16;
    local.tm_isdst = -1;
    EXPECT_EQ(detail::longDateTime(std::mktime(&local)), "Monday, December 07, 2026, 03:40:16");
}

}  // namespace
}  // namespace brevo
