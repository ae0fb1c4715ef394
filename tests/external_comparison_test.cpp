#include "verify/external_comparison.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "brx/document.h"
#include "brx/tag_vocabulary.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "test_support.h"
#include "verify/findings.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;
using Segments = std::vector<Segment>;

Segment segment(std::string_view tag, TagClass tagClass = TagClass::Error) {
    Segment made = test::segmentWithTag(tag, "x\n");
    made.tagClass = tagClass;
    return made;
}

// A target tag written "<#...>", as the validity check leaves it.
Segment addedSyntax(std::string tag) {
    Segment made = segment(std::move(tag), TagClass::AddedKnown);
    made.added = true;
    return made;
}

Segments segments(std::initializer_list<const char*> tags) {
    Segments made;
    for (const char* tag : tags) made.push_back(segment(tag));
    return made;
}

std::vector<bool> addedFlags(const Segments& list) {
    std::vector<bool> flags;
    for (const Segment& each : list) flags.push_back(each.added);
    return flags;
}

// The lines of a source/target context block.
Lines block(std::string source, std::string target) {
    return {"+++++++++++++++ Source Text +++++++++++++++", source,
            "+++++++++++++ Translated Text +++++++++++++", target,
            "+++++++++++++++++++++++++++++++++++++++++++\n"};
}

// The uncounted lines in front of a comparison whose lists differ in length.
Lines surplus(int sourceCount, int targetCount, std::string assumption) {
    return {"There are " + std::to_string(sourceCount) +
                " external tag(s) in the source file and " + std::to_string(targetCount) +
                " in the translated file ",
            "(not including tags in the translated file that have been added using the <#...> "
            "syntax).\n",
            std::move(assumption)};
}

Lines operator+(Lines first, const Lines& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

using Report = test::PassReport;

struct Compared {
    Lines lines;
    std::vector<bool> sourceAdded;
    std::vector<bool> targetAdded;
    int messages;
    int alerts;
    int warnings;
};

Compared compare(Segments source, Segments target, bool byScan = false) {
    Report report;
    if (byScan) {
        detail::compareExternalTagsByScan(source, target, report.findings);
    } else {
        compareExternalTags(source, target, report.findings);
    }
    return {report.lines(),
            addedFlags(source),
            addedFlags(target),
            report.findings.numbered(),
            report.findings.counts().alerts,
            report.findings.counts().warnings};
}

TEST(ExternalTagCounts, OneLinePerExternalTagWhoseCountChanged) {
    TagCountMap map;
    map.insert("<tb 1>", {2, true, 37, TagClass::Error});
    map.insert("<:b>", {3, false, 78, TagClass::Formatting});
    map.insert("<xy>", {1, true, 123, TagClass::UnknownExternal});
    map.insert("<ss>", {0, true, 33, TagClass::Alert});
    map.insert("<ie>", {-4, true, 31, TagClass::Alert});
    map.insert("<ps \"a\">", {1, true, 0, TagClass::Warning});
    Report report;
    detail::setCountsSoFar(report.findings, {7, 0, 0});
    reportExternalTagCounts(map, report.findings);
    EXPECT_EQ(report.lines(),
              (Lines{"2 occurrence(s) of the external tag <tb 1> deleted.",
                     "1 occurrence(s) of the unknown external tag <xy> deleted.",
                     "4 occurrence(s) of the external tag <ie> added without using the <#...> "
                     "syntax.",
                     "1 occurrence(s) of the external tag <ps \"a\"> deleted."}));
    // The lines open their section but are no findings: nothing is counted or numbered.
    EXPECT_TRUE(report.findings.sectionOpened());
    EXPECT_EQ(report.findings.numbered(), 7);
    EXPECT_EQ(report.findings.counts().alerts + report.findings.counts().warnings, 0);
}

TEST(AddedExternalTags, WarningWithTheSegmentInTargetStyle) {
    Segments target = segments({"<brx \"I2.00\">", "<tb 1>"});
    target.insert(target.begin() + 1, addedSyntax("<#ie>"));
    target.push_back(addedSyntax("<#page \"3\">"));
    target.back().tagClass = TagClass::AddedUnknown;
    target.back().text = test::keepText("<#page \"3\">a\n\n");
    Report report;
    reportAddedExternalTags(target, report.findings);
    EXPECT_EQ(report.lines(), (Lines{"[1] WARNING! The external tag <#ie> has been added.",
                                     "+++++++++++++ Text Segment +++++++++++++", "<#ie>x",
                                     "++++++++++++++++++++++++++++++++++++++++\n",
                                     "[2] WARNING! The external tag <#page \"3\"> has been added.",
                                     "+++++++++++++ Text Segment +++++++++++++", "<#page \"3\">a\n",
                                     "++++++++++++++++++++++++++++++++++++++++\n"}));
    EXPECT_EQ(report.findings.counts().warnings, 2);

    // In RTF the segment is target text with its tags marked, whatever file is being dumped.
    ReportLog log;
    LanguageSettings languages;
    languages.targetCodePage = 1251;
    ReportLineWriter rtf(log, FileFormat::Rtf, languages);
    Findings findings(rtf);
    reportAddedExternalTags(target, findings);
    const Lines lines(log.lines().begin(), log.lines().end());
    EXPECT_EQ(lines[2],
              "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f4 {\\cs5\\cf15\\f1\\lang1024 "
              "<#ie>}x");
}

TEST(ExternalComparison, EqualSequencesReportNothing) {
    const Segments same = segments({"<brx \"I2.00\">", "<tb 1>", "<row 1>", "</tb>"});
    Compared result = compare(same, same);
    EXPECT_EQ(result.lines, Lines{});
    EXPECT_EQ(result.sourceAdded, std::vector<bool>(4, false));
    EXPECT_EQ(result.targetAdded, std::vector<bool>(4, false));
}

TEST(ExternalComparison, DeletedTagFoundByLookAhead) {
    Compared result =
        compare(segments({"<t1>", "<t2>", "<t3>", "<t4>"}), segments({"<t1>", "<t3>", "<t4>"}));
    EXPECT_EQ(result.lines, (surplus(4, 3, "Assuming 1 external tag(s) deleted, none added.\n") +
                             Lines{"[1] ERROR! The external tag <t2> has been deleted."} +
                             block("<t1>x\n<t2>x\n<t3>x", "<t1>x\n<t3>x")));
    EXPECT_EQ(result.sourceAdded, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(result.targetAdded, std::vector<bool>(3, false));
}

TEST(ExternalComparison, IllegallyAddedTagFoundByLookAhead) {
    Compared result =
        compare(segments({"<t1>", "<t2>", "<t3>"}), segments({"<t1>", "<t9>", "<t2>", "<t3>"}));
    EXPECT_EQ(result.lines,
              (surplus(3, 4,
                       "Assuming 1 external tag(s) added (not using the <#...> syntax), none "
                       "deleted.\n") +
               Lines{"[1] ERROR! The external tag <t9> has been illegally added."} +
               block("<t1>x\n<t2>x", "<t1>x\n<t9>x\n<t2>x")));
    EXPECT_EQ(result.targetAdded, (std::vector<bool>{false, true, false, false}));
}

TEST(ExternalComparison, ChangedTagIsAnAlertOnBothSides) {
    Compared result =
        compare(segments({"<t1>", "<t2>", "<t3>"}), segments({"<t1>", "<t8>", "<t3>"}));
    EXPECT_EQ(result.lines, (Lines{"[1] ALERT! The external tag <t2> has been changed to <t8>."} +
                             block("<t1>x\n<t2>x\n<t3>x", "<t1>x\n<t8>x\n<t3>x")));
    EXPECT_EQ(result.sourceAdded, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(result.targetAdded, (std::vector<bool>{false, true, false}));
    EXPECT_EQ(result.alerts, 1);
}

TEST(ExternalComparison, FindingsNameTheSegmentsTheyConcern) {
    test::PassReport report;
    std::vector<Finding> found;
    report.findings.onFinding([&](const Finding& finding) { found.push_back(finding); });
    Segments source = segments({"<t1>", "<t2>", "<t3>", "<t4>"});
    Segments target = segments({"<t1>", "<t8>", "<t4>"});
    compareExternalTags(source, target, report.findings);
    ASSERT_EQ(found.size(), 2u);
    // <t2> changed to <t8>, then <t3> deleted: numbers, ids and both sides as they stand; the
    // deleted tag is placed in the target where <t4> stands in its place.
    EXPECT_EQ(found[0].number, 1);
    EXPECT_EQ(found[0].severity, Severity::Alert);
    EXPECT_EQ(found[0].messageId, static_cast<int>(MessageId::ExternalTagChanged));
    EXPECT_EQ(found[0].segments, (std::vector<SegmentRef>{{Side::Source, 1}, {Side::Target, 1}}));
    EXPECT_EQ(found[1].number, 2);
    EXPECT_EQ(found[1].segments, (std::vector<SegmentRef>{{Side::Source, 2}, {Side::Target, 2}}));
    EXPECT_EQ(found[1].text, "[2] ERROR! The external tag <t3> has been deleted.");

    // A segment quoted by a pass is found in its file's list when the list is known.
    test::PassReport quoted;
    quoted.findings.knowSegments(Side::Target, target);
    EXPECT_EQ(quoted.findings.refsTo(target[2]), (SegmentRefs{{Side::Target, 2}}));
    EXPECT_TRUE(quoted.findings.refsTo(source[2]).empty());
}

TEST(ExternalComparison, AddedSyntaxIsSkippedButShowsAsNeighbour) {
    Segments target = segments({"<t1>", "<t2>", "<t3>"});
    target.insert(target.begin() + 1, addedSyntax("<#ie>"));
    EXPECT_EQ(compare(segments({"<t1>", "<t2>", "<t3>"}), target).lines, Lines{});

    // The look-ahead steps over "<#...>" candidates; the block shows them as neighbours.
    target = segments({"<t1>", "<t9>", "<t2>", "<t3>"});
    target.insert(target.begin() + 2, addedSyntax("<#ie>"));
    Compared result = compare(segments({"<t1>", "<t2>", "<t3>"}), target);
    EXPECT_EQ(Lines(result.lines.begin() + 3, result.lines.end()),
              (Lines{"[1] ERROR! The external tag <t9> has been illegally added."} +
               block("<t1>x\n<t2>x", "<t1>x\n<t9>x\n<#ie>x")));
    EXPECT_EQ(result.targetAdded, (std::vector<bool>{false, true, true, false, false}));
}

TEST(ExternalComparison, LookAheadWindowShrinksAsDeletionsAreFound) {
    // diff 2: <a> is found two ahead, which uses the whole window; <b> then is a change.
    Compared result = compare(segments({"<t1>", "<d1>", "<d2>", "<a>", "<b>", "<t2>"}),
                              segments({"<t1>", "<a>", "<c>", "<t2>"}));
    EXPECT_EQ(result.lines[2], "Assuming 2 external tag(s) deleted, none added.\n");
    EXPECT_EQ(result.lines[3], "[1] ERROR! The external tag <d1> has been deleted.");
    EXPECT_EQ(result.lines[9], "[2] ERROR! The external tag <d2> has been deleted.");
    EXPECT_EQ(result.lines[15], "[3] ALERT! The external tag <b> has been changed to <c>.");
    EXPECT_EQ(result.lines.size(), 21u);

    // A match farther away than the window is not seen.
    result = compare(segments({"<t1>", "<d1>", "<d2>", "<a>", "<t2>"}),
                     segments({"<t1>", "<a>", "<t2>", "<t3>"}));
    EXPECT_EQ(result.lines[3], "[1] ALERT! The external tag <d1> has been changed to <a>.");
}

TEST(ExternalComparison, DeletedSeverityFollowsTheClass) {
    Segments source = segments({"<t1>"});
    source.push_back(segment("<ps \"a\">", TagClass::Warning));
    source.push_back(segment("<imk>", TagClass::Alert));
    source.push_back(segment("<tb 1>", TagClass::Error));
    source.push_back(segment("<zz>", TagClass::UnknownExternal));
    source.push_back(segment("<yy>", TagClass::Formatting));
    Compared result = compare(source, segments({"<t1>"}));
    EXPECT_EQ(Lines(result.lines.begin() + 3, result.lines.end()),
              (Lines{"External tags deleted at the end of the translated file!",
                     "[1] WARNING! The external tag <ps \"a\"> has been deleted.",
                     "[2] ALERT! The external tag <imk> has been deleted.",
                     "[3] ERROR! The external tag <tb 1> has been deleted.",
                     "[4] ERROR! The unknown external tag <zz> has been deleted.",
                     "[5] ERROR! The unknown external tag <yy> has been deleted."}));
    EXPECT_EQ(result.sourceAdded, (std::vector<bool>{false, true, true, true, true, true}));
    EXPECT_EQ(result.warnings, 1);
    EXPECT_EQ(result.alerts, 1);
    EXPECT_EQ(result.messages, 5);
}

TEST(ExternalComparison, EndOfLists) {
    Compared result =
        compare(segments({"<t1>", "<t2>", "<t3>", "<t4>", "<t5>"}), segments({"<t1>", "<t2>"}));
    EXPECT_EQ(result.lines, (surplus(5, 2, "Assuming 3 external tag(s) deleted, none added.\n") +
                             Lines{"External tags deleted at the end of the translated file!",
                                   "[1] ERROR! The external tag <t3> has been deleted.",
                                   "[2] ERROR! The external tag <t4> has been deleted.",
                                   "[3] ERROR! The external tag <t5> has been deleted."}));

    // Added at the end: "<#...>" segments are flagged but not reported.
    Segments target = segments({"<t1>", "<t2>", "<t5>", "<t6>"});
    target.insert(target.begin() + 3, addedSyntax("<#ie>"));
    result = compare(segments({"<t1>", "<t2>"}), target);
    EXPECT_EQ(Lines(result.lines.begin() + 3, result.lines.end()),
              (Lines{"External tags added at the end of the translated file!",
                     "[1] ERROR! The external tag <t5> has been illegally added.",
                     "[2] ERROR! The external tag <t6> has been illegally added."}));
    EXPECT_EQ(result.targetAdded, (std::vector<bool>{false, false, true, true, true}));

    // The loop ends on a "<#...>" segment with source left over: nothing more is reported.
    target = segments({"<t1>"});
    target.push_back(addedSyntax("<#ie>"));
    result = compare(segments({"<t1>", "<t2>", "<t3>"}), target);
    EXPECT_EQ(result.lines.size(), 3u);
    EXPECT_EQ(result.sourceAdded, std::vector<bool>(3, false));
}

Segments numbered(std::string_view stem, int count) {
    Segments made;
    for (int i = 1; i <= count; ++i) {
        std::string tag = "<";
        tag.append(stem).append(std::to_string(i)).append(">");
        made.push_back(segment(tag));
    }
    return made;
}

Segments joined(std::initializer_list<Segments> parts) {
    Segments all;
    for (const Segments& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(ExternalComparison, GivesUpAfterSixteenChangesInARow) {
    const Segments head = segments({"<t1>"});
    const Segments tail = segments({"<t2>"});
    Compared result =
        compare(joined({head, numbered("a", 17), tail}), joined({head, numbered("b", 17), tail}));
    ASSERT_EQ(result.lines.size(), 16u * 6 + 2);
    EXPECT_EQ(result.lines[15 * 6],
              "[16] ALERT! The external tag <a16> has been changed to <b16>.");
    EXPECT_EQ(result.lines[16 * 6], "\nThe files could not be fully compared!");
    EXPECT_EQ(result.lines[16 * 6 + 1],
              "If you intentionally changed the order of some external tags, and there are no "
              "Errors reported, you can ignore this message.\n");
    EXPECT_FALSE(result.sourceAdded[17]);

    // The sixteenth change on the last cycle ends the comparison normally.
    result = compare(joined({head, numbered("a", 16)}), joined({head, numbered("b", 16)}));
    EXPECT_EQ(result.lines.size(), 16u * 6);

    // An exact match starts the count again.
    result = compare(joined({head, numbered("a", 15), tail, numbered("c", 15), tail}),
                     joined({head, numbered("b", 15), tail, numbered("d", 15), tail}));
    EXPECT_EQ(result.lines.size(), 30u * 6);
}

TEST(ExternalComparison, LookAheadMatchDoesNotEndARunOfChanges) {
    // Ten changes, a deletion found by look-ahead (diff becomes 0), six more changes: the
    // run counts sixteen, so the comparison gives up before the last pair.
    const Segments head = segments({"<t1>"});
    const Segments tail = segments({"<t2>"});
    Compared result =
        compare(joined({head, numbered("a", 10), segments({"<d>", "<m>"}), numbered("c", 6), tail}),
                joined({head, numbered("b", 10), segments({"<m>"}), numbered("e", 6), tail}));
    ASSERT_GE(result.lines.size(), 2u);
    EXPECT_EQ(result.lines[result.lines.size() - 2], "\nThe files could not be fully compared!");
    EXPECT_EQ(result.messages, 17);
}

// A translation of `source` damaged by random deletions, additions, changes, swaps and
// "<#...>" tags, sometimes in long runs, so that windows are both wide and narrow.
class DamagedPairs {
public:
    explicit DamagedPairs(unsigned seed) : random_(seed) {}

    Segments source(int size) {
        Segments made = segments({"<brx \"I2.00\">"});
        const int alphabet = pick(2, size + 2);
        for (int i = 0; i < size; ++i) {
            made.push_back(segment(tag(alphabet), static_cast<TagClass>(pick(0, 4))));
        }
        return made;
    }

    Segments damage(const Segments& source) {
        const int alphabet = pick(2, static_cast<int>(source.size()) + 4);
        const int deleteRate = pick(0, 40);
        const int addRate = pick(0, 40);
        const int changeRate = pick(0, 30);
        Segments made = {source.front()};
        for (std::size_t i = 1; i < source.size(); ++i) {
            if (chance(addRate)) insertRun(made, alphabet);
            if (chance(5)) made.push_back(addedSyntax("<#ie>"));
            if (chance(deleteRate)) {
                i += static_cast<std::size_t>(pick(0, 3) == 0 ? pick(0, 12) : 0);
                continue;
            }
            made.push_back(chance(changeRate) ? segment(tag(alphabet)) : source[i]);
            if (chance(8) && made.size() > 2) std::swap(made.back(), made[made.size() - 2]);
        }
        if (chance(30)) insertRun(made, alphabet);
        return made;
    }

private:
    void insertRun(Segments& made, int alphabet) {
        const int length = pick(0, 3) == 0 ? pick(1, 12) : 1;
        for (int i = 0; i < length; ++i) {
            made.push_back(chance(10) ? addedSyntax("<#tb 1>") : segment(tag(alphabet)));
        }
    }

    std::string tag(int alphabet) { return "<t" + std::to_string(pick(1, alphabet)) + ">"; }
    int pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
    bool chance(int percent) { return pick(1, 100) <= percent; }

    std::mt19937 random_;
};

TEST(ExternalComparison, IndexedSearchAgreesWithPlainScan) {
    DamagedPairs pairs(20240611);
    int gaveUp = 0, endDeleted = 0, endAdded = 0, deleted = 0, added = 0;
    for (int round = 0; round < 3000; ++round) {
        const Segments source = pairs.source(round % 97);
        const Segments target = pairs.damage(source);
        const Compared indexed = compare(source, target);
        const Compared scanned = compare(source, target, true);
        ASSERT_EQ(indexed.lines, scanned.lines) << "round " << round;
        ASSERT_EQ(indexed.sourceAdded, scanned.sourceAdded) << "round " << round;
        ASSERT_EQ(indexed.targetAdded, scanned.targetAdded) << "round " << round;
        ASSERT_EQ(indexed.messages, scanned.messages);
        ASSERT_EQ(indexed.alerts, scanned.alerts);
        ASSERT_EQ(indexed.warnings, scanned.warnings);
        auto has = [&](std::string_view text) {
            return std::any_of(
                indexed.lines.begin(), indexed.lines.end(),
                [&](const std::string& line) { return line.find(text) != std::string::npos; });
        };
        gaveUp += has("could not be fully compared");
        endDeleted += has("deleted at the end");
        endAdded += has("added at the end");
        deleted += has("has been deleted");
        added += has("illegally added");
    }
    // The generator reaches every way the alignment can go.
    EXPECT_GT(gaveUp, 20);
    EXPECT_GT(endDeleted, 20);
    EXPECT_GT(endAdded, 20);
    EXPECT_GT(deleted, 200);
    EXPECT_GT(added, 200);
}

TEST(ExternalComparison, HalfOfALargeFileLostStaysLinear) {
    // 50,000 renamed tags, then 100,000 deleted in one block: every change searches a window
    // of 100,000 segments, which a plain scan could not finish.
    constexpr int kSize = 200000;
    Segments source;
    source.reserve(kSize);
    for (int i = 0; i < kSize; ++i) source.push_back(segment("<s" + std::to_string(i) + ">"));
    Segments target = {source.front()};
    for (int i = 1; i < kSize / 4; ++i) target.push_back(segment("<r" + std::to_string(i) + ">"));
    target.insert(target.end(), source.begin() + 3 * kSize / 4, source.end());

    Report report;
    compareExternalTags(source, target, report.findings);
    const int changes = kSize / 4 - 1;
    const int deletions = kSize / 2;
    EXPECT_EQ(report.findings.numbered(), changes + deletions);
    EXPECT_EQ(report.findings.counts().alerts, changes);
    EXPECT_EQ(std::count_if(source.begin(), source.end(), [](auto& s) { return s.added; }),
              changes + deletions);
    EXPECT_EQ(std::count_if(target.begin(), target.end(), [](auto& s) { return s.added; }),
              changes);
    EXPECT_FALSE(source[3 * kSize / 4].added);
    EXPECT_TRUE(source[3 * kSize / 4 - 1].added);
}

}  // namespace
}  // namespace brevo
