#include "verify/internal_comparison.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "brx/language_table.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "test_support.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

constexpr TagClass kWarning = TagClass::Warning;
constexpr TagClass kAlert = TagClass::Alert;
constexpr TagClass kError = TagClass::Error;
constexpr TagClass kUnknown = TagClass::UnknownInternal;
constexpr TagClass kFormatting = TagClass::Formatting;
constexpr TagClass kNoClass = static_cast<TagClass>(-1);  // a class outside the table

const std::string kSourceTop = "+++++++++++++++ Source Text +++++++++++++++";
const std::string kTargetTop = "+++++++++++++ Translated Text +++++++++++++";
const std::string kPairBottom = "+++++++++++++++++++++++++++++++++++++++++++\n";
const std::string kSegmentTop = "+++++++++++++ Text Segment +++++++++++++";
const std::string kSegmentBottom = "++++++++++++++++++++++++++++++++++++++++\n";

// Classes of the tags these tests use; any other internal tag is unknown.
TagClass classOf(std::string_view tag) {
    static const std::map<std::string_view, TagClass> kClasses = {
        {"<:b>", kFormatting}, {"<:/b>", kFormatting}, {"<:lt>", kWarning}, {"<:gt>", kWarning},
        {"<:ts>", kWarning},   {"<:fs>", kWarning},    {"<:r1>", kAlert},   {"<:xr 1>", kAlert},
        {"<:fn 2>", kError},   {"<:XR 1>", kError},    {"<:q>", kNoClass}};
    const auto found = kClasses.find(tag);
    return found == kClasses.end() ? kUnknown : found->second;
}

// A document whose internal tags, taken from the segment bodies, carry ordinals and exclusions
// as the run links them.
class DocumentBuilder {
public:
    DocumentBuilder& segment(std::string tagText, std::string body, bool added = false,
                             TagClass tagClass = kError) {
        Segment& made = doc_.segments.emplace_back(test::segmentWithTag(tagText, body + "\n"));
        made.id = 8;
        made.tagClass = tagClass;
        made.added = added;
        if (!added) ++ordinal_;
        made.ordinal = ordinal_;
        for (std::size_t open = body.find('<'); open != std::string::npos;
             open = body.find('<', open + 1)) {
            addTag(tagText.size() + open, body.find('>', open) + 1 - open);
        }
        return *this;
    }
    BrxDocument build() const { return doc_; }

private:
    // A tag of `length` bytes at `offset` in the text of the last segment.
    void addTag(std::size_t offset, std::size_t length) {
        const Segment& owner = doc_.segments.back();
        const std::string_view text = std::string_view(owner.text).substr(offset, length);
        const TagClass tagClass = classOf(text);
        InternalTag tag = internalTagAt(doc_.segments.size() - 1, owner, text);
        tag.tagClass = tagClass;
        tag.excluded = tagClass == kFormatting || owner.added;
        doc_.internalTags.push_back(std::move(tag));
    }

    BrxDocument doc_;
    std::int32_t ordinal_ = 0;
};

using Report = test::PassReport;

Lines compare(BrxDocument& source, BrxDocument& target, Report& report) {
    compareInternalTags(source, target, report.findings);
    return report.lines();
}

TEST(InternalTagCounts, OneSummaryLinePerChangedInternalTag) {
    TagCountMap counts;
    counts.insert("<:lt>", {2, false, 75, kWarning});
    counts.insert("<page \"1\">", {1, true, 8, kError});  // external: not this report's
    counts.insert("<:b>", {-4, false, 78, kFormatting});  // formatting: never reported
    counts.insert("<:xr 1>", {0, false, 88, kAlert});     // balanced
    counts.insert("<:zz>", {-3, false, 122, kUnknown});
    counts.insert("<:fn 2>", {-1, false, 102, kError});
    counts.insert("<:q>", {5, false, 122, kNoClass});
    Report report;
    detail::setCountsSoFar(report.findings, {10, 0, 0});
    reportInternalTagCounts(counts, report.findings);
    EXPECT_EQ(report.lines(), (Lines{
                                  "2 occurrence(s) of the internal tag <:lt> deleted.",
                                  "3 occurrence(s) of the unknown internal tag <:zz> added.",
                                  "1 occurrence(s) of the internal tag <:fn 2> added.",
                                  "5 occurrence(s) of the unknown internal tag <:q> deleted.",
                              }));
    // The lines open their section but are no findings: nothing is counted or numbered.
    EXPECT_TRUE(report.findings.sectionOpened());
    EXPECT_EQ(report.findings.numbered(), 10);
    EXPECT_EQ(report.findings.counts().warnings, 0);
    EXPECT_EQ(report.findings.counts().alerts, 0);
}

TEST(InternalComparison, DeletedTagIsFollowedByItsSegmentPair) {
    BrxDocument source =
        DocumentBuilder().segment("<page \"1\">", "").segment("<fn 1>", "a<:lt>b").build();
    BrxDocument target =
        DocumentBuilder().segment("<page \"1\">", "").segment("<fn 1>", "a<:b>b").build();
    Report report;
    detail::setCountsSoFar(report.findings, {6, 0, 0});
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[7] WARNING! The internal tag <:lt> has been deleted.", kSourceTop,
                     "<fn 1>a<:lt>b", kTargetTop, "<fn 1>a<:b>b", kPairBottom}));
    EXPECT_EQ(report.findings.counts().warnings, 1);
    EXPECT_TRUE(source.internalTags[0].excluded);
}

TEST(InternalComparison, MatchedAndFormattingTagsWriteNothing) {
    BrxDocument source =
        DocumentBuilder().segment("<page \"1\">", "<:b>x<:/b><:lt><:xr 1>").build();
    BrxDocument target = DocumentBuilder().segment("<page \"1\">", "<:xr 1>y<:lt>").build();
    Report report;
    EXPECT_EQ(compare(source, target, report), Lines{});
    EXPECT_EQ(report.findings.numbered(), 0);
    for (const InternalTag& tag : source.internalTags)
        EXPECT_TRUE(tag.excluded) << textOf(source.segments, tag);
    for (const InternalTag& tag : target.internalTags)
        EXPECT_TRUE(tag.excluded) << textOf(target.segments, tag);
}

TEST(InternalComparison, SurplusDuplicateIsDeletedAndMatchIsByExactText) {
    BrxDocument source = DocumentBuilder().segment("<page \"1\">", "<:r1><:r1><:XR 1>").build();
    BrxDocument target = DocumentBuilder().segment("<page \"1\">", "<:xr 1><:r1>").build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[1] ALERT! The internal tag <:r1> has been deleted.",
                     "[2] ERROR! The internal tag <:XR 1> has been deleted.",
                     "[3] ALERT! The internal tag <:xr 1> has been added.", kSourceTop,
                     "<page \"1\"><:r1><:r1><:XR 1>", kTargetTop, "<page \"1\"><:xr 1><:r1>",
                     kPairBottom}));
    EXPECT_EQ(report.findings.counts().alerts, 2);
    EXPECT_EQ(report.findings.counts().errors, 1);
}

TEST(InternalComparison, TagMovedToLaterPairIsReportedInBothPairs) {
    BrxDocument source = DocumentBuilder()
                             .segment("<page \"1\">", "")
                             .segment("<fn 1>", "a<:xr 1>")
                             .segment("<fn 2>", "b")
                             .build();
    BrxDocument target = DocumentBuilder()
                             .segment("<page \"1\">", "")
                             .segment("<fn 1>", "a")
                             .segment("<fn 2>", "b<:xr 1>")
                             .build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[1] ALERT! The internal tag <:xr 1> has been deleted.", kSourceTop,
                     "<fn 1>a<:xr 1>", kTargetTop, "<fn 1>a", kPairBottom,
                     "[2] ALERT! The internal tag <:xr 1> has been added.", kSourceTop, "<fn 2>b",
                     kTargetTop, "<fn 2>b<:xr 1>", kPairBottom}));
}

TEST(InternalComparison, TargetRunningOutDeletesTheRestOfTheSource) {
    // The target's only tag lies in an earlier pair than every source tag.
    BrxDocument source = DocumentBuilder()
                             .segment("<page \"1\">", "")
                             .segment("<fn 1>", "a")
                             .segment("<fn 2>", "<:lt><:b><:zz>")
                             .build();
    BrxDocument target = DocumentBuilder()
                             .segment("<page \"1\">", "")
                             .segment("<fn 1>", "a<:lt>")
                             .segment("<fn 2>", "")
                             .build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[1] WARNING! The internal tag <:lt> has been added.", kSourceTop, "<fn 1>a",
                     kTargetTop, "<fn 1>a<:lt>", kPairBottom,
                     "[2] WARNING! The internal tag <:lt> has been deleted.",
                     "[3] ERROR! The unknown internal tag <:zz> has been deleted.", kSourceTop,
                     "<fn 2><:lt><:b><:zz>", kTargetTop, "<fn 2>", kPairBottom}));
    EXPECT_EQ(report.findings.counts().warnings, 2);
}

TEST(InternalComparison, PassedOverTargetTagsAreAddedInTheirOwnPair) {
    BrxDocument source = DocumentBuilder()
                             .segment("<page \"1\">", "<:lt>")
                             .segment("<fn 1>", "")
                             .segment("<fn 2>", "<:gt>")
                             .build();
    BrxDocument target = DocumentBuilder()
                             .segment("<page \"1\">", "<:lt>")
                             .segment("<fn 1>", "<:ts><:fs>")
                             .segment("<fn 2>", "<:gt>")
                             .build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[1] WARNING! The internal tag <:ts> has been added.",
                     "[2] WARNING! The internal tag <:fs> has been added.", kSourceTop, "<fn 1>",
                     kTargetTop, "<fn 1><:ts><:fs>", kPairBottom}));
}

TEST(InternalComparison, BlockLeavesOutASideWithoutThatPair) {
    BrxDocument source = DocumentBuilder().segment("<page \"1\">", "<:lt>").build();
    BrxDocument target =
        DocumentBuilder().segment("<page \"1\">", "<:lt>").segment("<fn 9>", "<:zz>").build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[1] ERROR! The unknown internal tag <:zz> has been added.", kTargetTop,
                     "<fn 9><:zz>", kPairBottom}));
}

TEST(InternalComparison, EmptySourceAddsEveryTargetTagWithoutBlocks) {
    BrxDocument source = DocumentBuilder().segment("<page \"1\">", "").build();
    BrxDocument target = DocumentBuilder()
                             .segment("<page \"1\">", "<:lt><:b>")
                             .segment("<fn 1>", "<:xr 1><:fn 2><:zz>")
                             .build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"All internal tags have been added!\n",
                     "[1] WARNING! The internal tag <:lt> has been added.",
                     "[2] ALERT! The internal tag <:xr 1> has been added.",
                     "[3] ERROR! The internal tag <:fn 2> has been added.",
                     "[4] ERROR! The unknown internal tag <:zz> has been added."}));
    EXPECT_EQ(report.findings.counts().warnings, 1);
    EXPECT_EQ(report.findings.counts().alerts, 1);
    EXPECT_FALSE(target.internalTags[0].excluded);
}

TEST(InternalComparison, EmptyTargetDeletesEverySourceTagEvenExcludedOnes) {
    BrxDocument source = DocumentBuilder()
                             .segment("<page \"1\">", "<:b>")
                             .segment("<fn 1>", "<:lt>", true)
                             .segment("<fn 2>", "<:q>")
                             .build();
    BrxDocument target = DocumentBuilder().segment("<page \"1\">", "").build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"All internal tags have been deleted!\n",
                     "[1] WARNING! The internal tag <:lt> has been deleted.",
                     "[2] ERROR! The unknown internal tag <:q> has been deleted."}));
    // Only the notice when there is nothing to say about the tags: no message is counted.
    BrxDocument onlyFormatting = DocumentBuilder().segment("<page \"1\">", "<:b>").build();
    Report quiet;
    EXPECT_EQ(compare(onlyFormatting, target, quiet),
              Lines{"All internal tags have been deleted!\n"});
    EXPECT_EQ(quiet.findings.numbered(), 0);
}

TEST(InternalComparison, TagsOfAddedSyntaxSegmentsAreAddedWithTheirSegment) {
    BrxDocument source =
        DocumentBuilder().segment("<page \"1\">", "<:lt>").segment("<fn 1>", "").build();
    BrxDocument target = DocumentBuilder()
                             .segment("<page \"1\">", "<:lt>")
                             .segment("<#fn 2>", "x<:gt><:b>", true, TagClass::AddedKnown)
                             .segment("<#fn 3>", "<:b>", true, TagClass::AddedUnknown)
                             .segment("<fn 4>", "<:zz>", true, TagClass::Error)
                             .segment("<#fn 5>", "<:xr 1>", true, TagClass::AddedUnknown)
                             .segment("<fn 1>", "")
                             .build();
    Report report;
    EXPECT_EQ(compare(source, target, report),
              (Lines{"[1] WARNING! The internal tag <:gt> has been added.", kSegmentTop,
                     "<#fn 2>x<:gt><:b>", kSegmentBottom,
                     "[2] ALERT! The internal tag <:xr 1> has been added.", kSegmentTop,
                     "<#fn 5><:xr 1>", kSegmentBottom}));
}

TEST(InternalComparison, MarkedLinesAndStylesInRtf) {
    BrxDocument source = DocumentBuilder().segment("<page \"1\">", "<:lt>").build();
    BrxDocument target = DocumentBuilder().segment("<page \"1\">", "<:b>").build();
    ReportLog log;
    LanguageSettings languages;
    languages.targetCodePage = 932;
    ReportLineWriter writer(log, FileFormat::Rtf, languages);
    Findings findings(writer);
    compareInternalTags(source, target, findings);
    const std::string prefix = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f";
    const std::string internalGroup = "{\\cs6\\cf6\\f1\\lang1024 ";
    const std::string externalGroup = "{\\cs5\\cf15\\f1\\lang1024 ";
    EXPECT_EQ(Lines(log.lines().begin(), log.lines().end()),
              (Lines{prefix + "1 [1] WARNING! The internal tag " + internalGroup +
                         "<:lt>} has been deleted.",
                     prefix + "1 " + kSourceTop,
                     prefix + "3 " + externalGroup + "<page \"1\">}" + internalGroup + "<:lt>}",
                     prefix + "1 " + kTargetTop,
                     prefix + "4 " + externalGroup + "<page \"1\">}" + internalGroup + "<:b>}",
                     prefix + "1 " + std::string(43, '+') + "\n\\par "}));
}

// Random pairs: segments of a few pairs, some added on either side, tags drawn from a small
// alphabet so that duplicates, moves and mismatches are frequent.
BrxDocument randomDocument(std::mt19937& random) {
    static const std::string kTexts[] = {"<:lt>", "<:gt>", "<:r1>", "<:fn 2>", "<:zz>", "<:b>"};
    DocumentBuilder builder;
    const int segments = std::uniform_int_distribution(1, 8)(random);
    for (int s = 0; s < segments; ++s) {
        const bool added = s > 0 && random() % 5 == 0;
        // Now and then a crowded segment, which the indexed search chains instead of scanning.
        const int tags = random() % 6 == 0 ? std::uniform_int_distribution(17, 60)(random)
                                           : std::uniform_int_distribution(0, 6)(random);
        std::string body;
        for (int t = 0; t < tags; ++t) body += kTexts[random() % 6];
        builder.segment("<fn " + std::to_string(s) + ">", body, added,
                        added ? TagClass::AddedKnown : kError);
    }
    return builder.build();
}

TEST(InternalComparison, IndexedPartnerSearchEqualsScan) {
    std::mt19937 random(20240611);
    for (int round = 0; round < 1000; ++round) {
        const BrxDocument source = randomDocument(random);
        const BrxDocument target = randomDocument(random);
        BrxDocument scanSource = source, scanTarget = target;
        BrxDocument indexSource = source, indexTarget = target;
        Report scan, indexed;
        detail::compareInternalTagPairs(scanSource, scanTarget, scan.findings,
                                        detail::PartnerSearch::Scan);
        detail::compareInternalTagPairs(indexSource, indexTarget, indexed.findings,
                                        detail::PartnerSearch::Indexed);
        ASSERT_EQ(indexed.lines(), scan.lines()) << "round " << round;
        ASSERT_EQ(indexed.findings.counts().warnings, scan.findings.counts().warnings);
        ASSERT_EQ(indexed.findings.counts().alerts, scan.findings.counts().alerts);
        for (std::size_t i = 0; i < target.internalTags.size(); ++i) {
            ASSERT_EQ(indexTarget.internalTags[i].excluded, scanTarget.internalTags[i].excluded);
        }
        for (std::size_t i = 0; i < source.internalTags.size(); ++i) {
            ASSERT_EQ(indexSource.internalTags[i].excluded, scanSource.internalTags[i].excluded);
        }
    }
}

}  // namespace
}  // namespace brevo
