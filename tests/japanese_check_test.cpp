#include "verify/japanese_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brx/language_table.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "test_support.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

const std::string kSegmentTop = "+++++++++++++ Text Segment +++++++++++++";
const std::string kSegmentBottom = "++++++++++++++++++++++++++++++++++++++++\n";

std::string alert(int number, std::string bytes) {
    std::string text(1, '[');
    text += std::to_string(number);
    text +=
        "] ALERT! The following Japanese character does not exist in Interleaf and may "
        "therefore not be used: \"";
    text += bytes;
    text += "\".";
    return text;
}

Segment segment(std::string_view tagText, std::string_view body) {
    return test::segmentWithTag(tagText, body);
}

struct Report : test::PassReport {
    Lines check(const std::vector<Segment>& segments) {
        findings.quoteFrom(Side::Target);
        checkJapaneseCharacters(segments, findings);
        return lines();
    }
};

Lines checkOne(std::string body) {
    Report report;
    return report.check({segment("<fn 1>", body)});
}

// The first report line, or nothing.
std::string firstLine(std::string body) {
    const Lines lines = checkOne(std::move(body));
    return lines.empty() ? std::string() : lines.front();
}

TEST(JapaneseCheck, RejectedPairIsQuotedAndItsSegmentShown) {
    Report report;
    detail::setCountsSoFar(report.findings, {3, 1, 0});
    const Lines lines = report.check({segment("<fn 1>", "a\xEA\xA4z\n")});
    EXPECT_EQ(lines,
              (Lines{alert(5, "\xEA\xA4"), kSegmentTop, "<fn 1>a\xEA\xA4z", kSegmentBottom}));
    EXPECT_EQ(report.findings.counts().alerts, 2);
    EXPECT_EQ(report.findings.counts().errors, 3);
}

TEST(JapaneseCheck, RejectionTable) {
    EXPECT_EQ(checkOne("\xEA\xA5\xEA\xA2\x82\xA0\n"), Lines{});
    EXPECT_EQ(firstLine("\xEA\xA3"), alert(1, "\xEA\xA3"));
    for (const char lead : {'\xED', '\xEE', '\xFA', '\xFB', '\xFC'}) {
        const std::string pair{lead, 'x'};
        EXPECT_EQ(firstLine(pair + "\n"), alert(1, pair)) << int(lead);
    }
    // 0xFD is no lead byte, so 0xED after it starts a character of its own.
    EXPECT_EQ(firstLine("\xFD\xED\x40"), alert(1, "\xED\x40"));
}

TEST(JapaneseCheck, TrailByteIsNeverReadAsLead) {
    EXPECT_EQ(checkOne("\x82\xED\x40\n"), Lines{});
    EXPECT_EQ(firstLine("\x82\xED\xED\x40\n"), alert(1, "\xED\x40"));
    EXPECT_EQ(checkOne("\x9F\xFA\xE0\xFC\n"), Lines{});
}

TEST(JapaneseCheck, TwoRejectedCharactersShareOneBlock) {
    EXPECT_EQ(checkOne("\xED\x40 and \xFB\xFC\n"),
              (Lines{alert(1, "\xED\x40"), alert(2, "\xFB\xFC"), kSegmentTop,
                     "<fn 1>\xED\x40 and \xFB\xFC", kSegmentBottom}));
}

TEST(JapaneseCheck, CourierStretchIsNotRead) {
    EXPECT_EQ(checkOne("<:c>\xED\x40\xEA\xA4<:/c>ok\n"), Lines{});
    EXPECT_EQ(firstLine("<:c>\xED\x40<:/c>\xEE\x41\n"), alert(1, "\xEE\x41"));
    // Only a whole "<:c>" tag switches; one nested in another tag does not.
    EXPECT_EQ(firstLine("<:x <:c>>\xED\x40\n"), alert(1, "\xED\x40"));
    EXPECT_EQ(firstLine("<:cs \"c\">\xED\x40\n"), alert(1, "\xED\x40"));
}

TEST(JapaneseCheck, TagTextsAreReadLikeText) {
    EXPECT_EQ(firstLine("<:cs \"\xFA\x40\">x\n"), alert(1, "\xFA\x40"));
    // The segment's own external tag is not read.
    Report report;
    EXPECT_EQ(report.check({segment("<page \"\xFA\x40\">", "x\n")}), Lines{});
}

TEST(JapaneseCheck, PendingLeadSurvivesTagsButNotTheSegment) {
    // "<" and ">" pass over a pending lead; the tag's next byte completes the character.
    EXPECT_EQ(firstLine("\xED<\x40>\n"), alert(1, "\xED\x40"));
    EXPECT_EQ(firstLine("\xED>\x40\n"), alert(1, "\xED\x40"));
    EXPECT_EQ(firstLine("\xED<:c>\x41<:/c>\n"), alert(1, "\xED:"));
    // Even a line feed completes a pending character.
    EXPECT_EQ(firstLine("\xED\n"), alert(1, "\xED\n"));

    Report report;
    EXPECT_EQ(report.check({segment("<fn 1>", "\xED"), segment("<fn 2>", "\x40\n")}), Lines{});
}

TEST(JapaneseCheck, EverySegmentStartsAfresh) {
    // An unclosed "<:c>" and an open tag end with their segment.
    Report report;
    const Lines lines =
        report.check({segment("<fn 1>", "<:c>\xED\x40\n"), segment("<fn 2>", "\xED\x41\n"),
                      segment("<fn 3>", "<:b\n"), segment("<fn 4>", "\xED\x42")});
    EXPECT_EQ(lines, (Lines{alert(1, "\xED\x41"), kSegmentTop, "<fn 2>\xED\x41", kSegmentBottom,
                            alert(2, "\xED\x42"), kSegmentTop, "<fn 4>\xED\x42", kSegmentBottom}));
}

TEST(JapaneseCheck, MessageUsesTheTargetStyleInRtf) {
    ReportLog log;
    LanguageSettings languages;
    languages.targetCodePage = 932;
    ReportLineWriter writer(log, FileFormat::Rtf, languages);
    Findings findings(writer);
    findings.quoteFrom(Side::Target);
    checkJapaneseCharacters({segment("<fn 1>", "\xEA\xA4\n")}, findings);
    const std::string prefix = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f";
    EXPECT_EQ(Lines(log.lines().begin(), log.lines().end()),
              (Lines{prefix + "4 [1] ALERT! The following Japanese character does not exist in "
                              "Interleaf and may therefore not be used: \"\\'ea\\'a4\".",
                     prefix + "1 " + kSegmentTop,
                     prefix + "4 {\\cs5\\cf15\\f1\\lang1024 <fn 1>}\\'ea\\'a4",
                     prefix + "1 " + std::string(40, '+') + "\n\\par "}));
}

}  // namespace
}  // namespace brevo
