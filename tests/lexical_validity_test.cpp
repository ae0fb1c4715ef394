#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brx/brx_loader.h"
#include "brx/document.h"
#include "brx/failure.h"
#include "brx/tag_vocabulary.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "test_support.h"
#include "verify/findings.h"
#include "verify/lexical_check.h"
#include "verify/validity_check.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

const std::string kTop(kSegmentFrameTop);
const std::string kBottom(kSegmentFrameBottom);

// One pass's report and counters, in text form unless another format is given.
struct Harness {
    explicit Harness(FileFormat format = FileFormat::Text)
        : writer(log, format, languages), findings(writer) {}
    Lines lines() const { return {log.lines().begin(), log.lines().end()}; }

    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer;
    Findings findings;
    TextStore joined;  // where the lexical check puts tagless text in front of a segment
};

Segment segment(std::string_view tagText, std::string_view text) {
    if (!text.starts_with(tagText)) return test::segmentWithForeignTag(tagText, text);
    return test::segmentWithTag(tagText, text.substr(tagText.size()));
}

using test::segmentsOf;

Lines block(const std::string& message, const std::string& shown) {
    return {message, kTop, shown, kBottom};
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Lines lexicalReport(std::vector<Segment> segments) {
    Harness h;
    checkLexical(segments, h.joined, h.findings);
    return h.lines();
}

// ---- Lexical check ----

TEST(Lexical, BracketFaultsOneMessagePerText) {
    const std::string unbalanced = "[1] ERROR! Different number of < and >.";
    const std::string order = "[1] ERROR! > and <: occur in the wrong order.";
    const std::string deep = "[1] ERROR! Too many <: in a row.";

    EXPECT_EQ(lexicalReport({segment("<page \"1\">", "<page \"1\">a > b\n")}),
              block(unbalanced, "<page \"1\">a > b"));
    EXPECT_EQ(lexicalReport({segment("<page \"1\">", "<page \"1\">a>b<:c\n")}),
              block(order, "<page \"1\">a>b<:c"));
    EXPECT_EQ(lexicalReport({segment("<tb x>", "<tb <:a <:b <:c>>>>")}),
              block(deep, "<tb <:a <:b <:c>>>>"));
    // Three levels are allowed; a wrong order found first hides a later depth fault.
    EXPECT_EQ(lexicalReport({segment("<tb x>", "<tb <:a <:b>>>\n")}), Lines{});
    EXPECT_EQ(lexicalReport({segment("<a>", "<a>><<<<<x>>>>")}), block(order, "<a>><<<<<x>>>>"));
    // Bytes other than the brackets, NUL included, play no part.
    EXPECT_EQ(lexicalReport({segment("<a>", std::string("<a>\0<:b>\0", 9))}), Lines{});
    EXPECT_EQ(lexicalReport({}), Lines{});
}

TEST(Lexical, TaglessTextGoesInFrontOfTheNextTaggedSegment) {
    std::vector<Segment> segments = segmentsOf({"<a>x<fn \"<page>\">y", "<b>"});
    ASSERT_EQ(segments.size(), 4u);
    Harness h;
    checkLexical(segments, h.joined, h.findings);
    EXPECT_EQ(h.lines(), block("[1] ERROR! Nested external tags.", "<fn \"<page>\">y"));
    EXPECT_EQ(segments[1].text, "<fn \"");
    EXPECT_EQ(segments[2].text, "<fn \"<page>\">y\n");
    EXPECT_EQ(segments[3].text, "<b>\n");
    EXPECT_EQ(h.findings.counts().errors, 1);
}

TEST(Lexical, AFaultOnTheSegmentReplacesTheNestingMessage) {
    std::vector<Segment> segments = {segment("", "<x "),      segment("<b>", "<b>>>x<\n"),
                                     segment("<c>", "<c>\n"), segment("", "<y "),
                                     segment("", "z "),       segment("<d>", "<d>>\n")};
    EXPECT_EQ(lexicalReport(segments),
              concat({block("[1] ERROR! > and <: occur in the wrong order.", "<x <b>>>x<"),
                      block("[2] ERROR! Nested external tags.", "<y z <d>>")}));
}

TEST(Lexical, FileEndingInTaglessSegments) {
    const std::string endNote = "The previous message refers to the end of the file.";
    // Only the last segment's own text is checked; the held text is not used.
    EXPECT_EQ(lexicalReport({segment("<a>", "<a>x"), segment("", "<q "), segment("", "<b")}),
              concat({block("[1] ERROR! Different number of < and >.", "<b"), {endNote}}));
    // Balanced brackets of its own still leave the nesting message.
    EXPECT_EQ(lexicalReport({segment("<a>", "<a>>x<"), segment("", "<:b>\n")}),
              concat({block("[1] ERROR! > and <: occur in the wrong order.", "<a>>x<"),
                      block("[2] ERROR! Nested external tags.", "<:b>"),
                      {endNote}}));
}

TEST(Lexical, NumbersContinueTheRunningCount) {
    Harness h;
    detail::setCountsSoFar(h.findings, {3, 1, 0});
    std::vector<Segment> source = {segment("<a>", "<a><\n")};
    std::vector<Segment> target = {segment("<a>", "<a>>\n"), segment("<b>", "<b>\n")};
    checkLexical(source, h.joined, h.findings);
    checkLexical(target, h.joined, h.findings);
    EXPECT_EQ(h.lines(), concat({block("[5] ERROR! Different number of < and >.", "<a><"),
                                 block("[6] ERROR! Different number of < and >.", "<a>>")}));
    EXPECT_EQ(h.findings.numbered(), 6);
    EXPECT_EQ(h.findings.counts().errors, 5);
}

// ---- Classification ----

TEST(Classification, SourceReportsMarkedAndUnknownExternalTags) {
    Harness h;
    int added = 0;
    std::vector<Segment> segments = {segment("<page \"1\">", "<page \"1\">x\n"),
                                     segment("<#page \"3\">", "<#page \"3\">\n"),
                                     segment("<zz 1>", "<zz 1>y\n"), segment("", "tail")};
    classifyExternalTags(segments, Side::Source, h.findings, added);
    EXPECT_EQ(
        h.lines(),
        concat({block("[1] ERROR! External tags may not be added in the source file using the "
                      "<#...> syntax.",
                      "<#page \"3\">"),
                block("[2] ERROR! The external tag <zz 1> is unknown to The Brevo Verifier.",
                      "<zz 1>y")}));
    EXPECT_EQ(added, 0);
    EXPECT_EQ(segments[0].id, 8);
    EXPECT_EQ(segments[1].tagClass, TagClass::UnknownExternal);
    EXPECT_EQ(segments[2].id, kUnknownExternalId);
    EXPECT_EQ(segments[3].id, kUnknownExternalId);  // nothing to match: creation values stay
    EXPECT_EQ(segments[3].tagClass, TagClass::Formatting);
}

TEST(Classification, TargetMarksAddedTagsSilently) {
    Harness h;
    int added = 2;
    std::vector<Segment> segments = {segment("<#page \"3\">", "<#page \"3\">\n"),
                                     segment("<zz>", "<zz>\n"), segment("<#ie>", "<#ie>\n")};
    classifyExternalTags(segments, Side::Target, h.findings, added);
    EXPECT_EQ(h.lines(), Lines{});
    EXPECT_EQ(added, 4);
    EXPECT_EQ(segments[0].tagClass, TagClass::AddedMarked);
    EXPECT_EQ(segments[1].tagClass, TagClass::UnknownExternal);
    EXPECT_EQ(segments[2].tagClass, TagClass::AddedMarked);
}

// Only messages that quote a tag mark tags; bare brackets in the others stay plain.
TEST(Classification, TagMarkingPerMessage) {
    Harness h(FileFormat::Rtf);
    int added = 0;
    std::vector<Segment> segments = {segment("<#x>", "<#x>\n"), segment("<zz>", "<zz>\n")};
    classifyExternalTags(segments, Side::Source, h.findings, added);
    checkLexical(segments = {segment("<a>", "<a>>\n")}, h.joined, h.findings);
    const Lines lines = h.lines();
    ASSERT_EQ(lines.size(), 12u);
    for (std::size_t plain : {0u, 2u, 8u}) EXPECT_EQ(lines[plain].find("{\\cs"), std::string::npos);
    EXPECT_NE(lines[4].find("{\\cs5\\cf15\\f1\\lang1024 <zz>}"), std::string::npos);
    EXPECT_NE(lines[6].find("{\\cs5\\cf15\\f1\\lang1024 <zz>}"), std::string::npos);
    EXPECT_EQ(lines[10], "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f3 <a>>");
}

// ---- Source validity ----

std::string entry(TagCountMap& counts, std::string_view text) {
    const TagCount* found = counts.find(text);
    if (!found) return "none";
    return std::to_string(found->count) + (found->isExternal ? " external " : " internal ") +
           std::to_string(found->id) + "/" + std::to_string(static_cast<int>(found->tagClass));
}

// Every field of the records and the id of their segment, so that one comparison shows any
// difference.
Lines records(const std::vector<InternalTag>& tags, const std::vector<Segment>& segments) {
    Lines out;
    for (const InternalTag& tag : tags) {
        out.push_back(
            std::string(textOf(segments, tag)) + " in " + std::to_string(tag.externalTag) + " (" +
            std::to_string(segments.at(tag.externalTag).id) + ") " + std::to_string(tag.id) + "/" +
            std::to_string(static_cast<int>(tag.tagClass)) + (tag.excluded ? " excluded" : ""));
    }
    return out;
}

Lines classes(const std::vector<Segment>& segments) {
    Lines out;
    for (const Segment& s : segments) {
        out.push_back(std::to_string(s.id) + "/" + std::to_string(static_cast<int>(s.tagClass)) +
                      (s.added ? " added" : ""));
    }
    return out;
}

struct SourceRun {
    explicit SourceRun(std::vector<Segment> input) : segments(std::move(input)) {
        int added = 0;
        classifyExternalTags(segments, Side::Source, h.findings, added);
        prefillTagCounts(counts);
        checkSourceValidity(counts, segments, tags, h.findings);
    }

    Harness h;
    std::vector<Segment> segments;
    TagCountMap counts;
    std::vector<InternalTag> tags;
};

TEST(SourceValidity, CountsEveryTagAndReportsAnUnknownTextOnce) {
    SourceRun run({segment("<page \"1\">", "<page \"1\">a<:xyz>b<:b>c<:xyz>\n"),
                   segment("<page \"1\">", "<page \"1\"><:xyz><:/b>\n")});
    EXPECT_EQ(run.h.lines(),
              block("[1] ERROR! The internal tag <:xyz> is unknown to The Brevo Verifier.",
                    "<page \"1\">a<:xyz>b<:b>c<:xyz>"));
    EXPECT_EQ(entry(run.counts, "<:xyz>"), "3 internal 122/5");
    EXPECT_EQ(entry(run.counts, "<page \"1\">"), "2 external 8/3");
    EXPECT_EQ(entry(run.counts, "<:b>"), "1 internal 78/0");
    EXPECT_EQ(entry(run.counts, "<:i>"), "0 internal 80/0");
}

// Text outside tags and stray ">" are skipped, nested brackets stay in one tag, and a tag
// still open at the end of its segment is dropped.
TEST(SourceValidity, InternalTagRecordsInFileOrder) {
    SourceRun run({segment("<tb 1>", "<tb 1>\n"),
                   segment("<fn 1>", "<fn 1>a>b<:b>c<:xr \"<:i>\">d<:cs \"E\""),
                   segment("<page \"2\">", "<page \"2\"><:r3>\n")});
    EXPECT_EQ(
        records(run.tags, run.segments),
        (Lines{"<:b> in 1 (23) 78/0", "<:xr \"<:i>\"> in 1 (23) 88/2", "<:r3> in 2 (8) 77/2"}));
    EXPECT_EQ(entry(run.counts, "<:i>"), "0 internal 80/0");
    EXPECT_EQ(entry(run.counts, "<:cs \"E\""), "none");
}

// ---- Target validity ----

struct TargetRun {
    TargetRun(std::vector<Segment> source, std::vector<Segment> target, int messagesBefore = 0)
        : sourceRun(std::move(source)), segments(std::move(target)) {
        Findings& findings = sourceRun.h.findings;
        detail::setCountsSoFar(findings, {messagesBefore, 0, 0});
        sourceRun.h.log = ReportLog();
        classifyExternalTags(segments, Side::Target, findings, added);
        detail::checkTargetValidity(sourceRun.counts, segments, tags, findings);
    }
    Lines lines() const { return sourceRun.h.lines(); }
    std::string entry(std::string_view text) { return brevo::entry(sourceRun.counts, text); }

    SourceRun sourceRun;
    std::vector<Segment> segments;
    std::vector<InternalTag> tags;
    int added = 0;
};

std::string invalidInternal(int number, const std::string& tag) {
    return "[" + std::to_string(number) + "] ERROR! The internal tag " + tag +
           " is not a valid tag.";
}

// Nothing is inserted for the target, so an invalid tag is reported at every occurrence.
TEST(TargetValidity, OnlySourceAndPrefilledTagsAreValid) {
    TargetRun run({segment("<page \"1\">", "<page \"1\"><:cs \"A\">\n")},
                  {segment("<page \"1\">", "<page \"1\"><:b>x<:b><:xyz>\n"),
                   segment("<sa>", "<sa><:cs \"A\">\n"), segment("<ie>", "<ie><:xyz>\n")});
    EXPECT_EQ(
        run.lines(),
        concat({block(invalidInternal(1, "<:xyz>"), "<page \"1\"><:b>x<:b><:xyz>"),
                block("[2] ERROR! The external tag <sa> is not a valid tag.", "<sa><:cs \"A\">"),
                block(invalidInternal(3, "<:xyz>"), "<ie><:xyz>")}));
    EXPECT_EQ(run.entry("<:b>"), "-2 internal 78/0");
    EXPECT_EQ(run.entry("<page \"1\">"), "0 external 8/3");
    EXPECT_EQ(run.entry("<:cs \"A\">"), "0 internal 93/2");
    EXPECT_EQ(run.entry("<ie>"), "-1 external 31/2");
    EXPECT_EQ(run.entry("<sa>"), "none");
    EXPECT_EQ(run.entry("<:xyz>"), "none");
    EXPECT_EQ(records(run.tags, run.segments),
              (Lines{"<:b> in 0 (8) 78/0", "<:b> in 0 (8) 78/0", "<:xyz> in 0 (8) 122/5",
                     "<:cs \"A\"> in 1 (34) 93/2", "<:xyz> in 2 (31) 122/5"}));
}

TEST(TargetValidity, TagsAddedWithTheMarker) {
    TargetRun run({segment("<page \"3\">", "<page \"3\">\n")},
                  {segment("<#ie>", "<#ie><:b>\n"), segment("<#page \"3\">", "<#page \"3\">\n"),
                   segment("<#page \"4\">", "<#page \"4\">\n")},
                  6);
    const std::string notAllowed = "ERROR! You may not add the external tag ";
    EXPECT_EQ(run.lines(), concat({block("[7] " + notAllowed +
                                             "<#page \"3\"> even with the # symbol in front "
                                             "of it.",
                                         "<#page \"3\">"),
                                   block("[8] " + notAllowed +
                                             "<#page \"4\"> even with the # symbol in front "
                                             "of it.",
                                         "<#page \"4\">")}));
    EXPECT_EQ(run.added, 3);
    EXPECT_EQ(classes(run.segments), (Lines{"31/6 added", "8/6 added", "123/8 added"}));
    // Marked tags leave the counts alone; internal tags take the resolved owner id.
    EXPECT_EQ(run.entry("<ie>"), "0 external 31/2");
    EXPECT_EQ(run.entry("<page \"3\">"), "1 external 8/3");
    EXPECT_EQ(records(run.tags, run.segments), Lines{"<:b> in 0 (31) 78/0"});
}

TEST(TargetValidity, NumberedTagsInRangeAreValidWithoutTheSource) {
    const Lines valid = {"<:r7>",     "<:r1>",   "<:r65534>", "<:r 12>",
                         "<:r\t+12>", "<:r12x>", "<:r007>"};
    const Lines invalid = {"<:r0>",
                           "<:r65535>",
                           "<:rx>",
                           "<:r>",
                           "<:r-5>",
                           "<:r+-5>",
                           "<:r- 5>",
                           "<:r99999999999999999999999>",
                           "<:r18446744073709551617>"};
    std::string text = "<p>";
    for (const std::string& tag : valid) text += tag;
    for (const std::string& tag : invalid) text += tag;
    TargetRun run({segment("<p>", "<p>\n")}, {segment("<p>", text)});

    Lines expected;
    for (std::size_t i = 0; i < invalid.size(); ++i) {
        expected =
            concat({expected, block(invalidInternal(static_cast<int>(i) + 1, invalid[i]), text)});
    }
    EXPECT_EQ(run.lines(), expected);
    ASSERT_EQ(run.tags.size(), valid.size() + invalid.size());
    for (std::size_t i = 0; i < run.tags.size(); ++i) {
        const bool isValid = i < valid.size();
        EXPECT_EQ(run.tags[i].id, isValid ? kNumberedTagId : kUnknownInternalId)
            << textOf(run.segments, run.tags[i]);
        EXPECT_EQ(run.tags[i].tagClass, isValid ? TagClass::Alert : TagClass::UnknownInternal);
    }
}

// ---- Damaged input of any size ----

TEST(LargeInput, HugeDamagedTextIsHandledInLinearTime) {
    constexpr int kMegabyte = 1 << 20;
    constexpr int kManySegments = 1 << 18;

    // One huge damaged segment, unbalanced and then balanced but far too deep.
    EXPECT_EQ(lexicalReport({segment("<a>", "<a>" + std::string(kMegabyte, '<'))}).size(), 4u);
    std::vector<Segment> deep = {
        segment("<a>", "<a>" + std::string(kMegabyte, '<') + std::string(kMegabyte, '>'))};
    EXPECT_EQ(lexicalReport(deep).front(), "[1] ERROR! Too many <: in a row.");

    // A run of "<" cuts at every byte: many tagless segments, then the file ends.
    Harness h;
    std::vector<Segment> segments = segmentsOf({"<a>", std::string(kManySegments, '<')});
    checkLexical(segments, h.joined, h.findings);
    EXPECT_EQ(h.findings.numbered(), 1);
    EXPECT_EQ(h.lines().back(), "The previous message refers to the end of the file.");

    // The same damage held in front of one tagged segment.
    std::vector<Segment> held;
    held.reserve(kManySegments + 2);
    held.push_back(segment("<a>", "<a>"));
    held.resize(kManySegments + 1, segment("", "<"));
    held.push_back(segment("<b>", "<b>"));
    EXPECT_EQ(lexicalReport(held).size(), 4u);

    // Validity over huge segments: one deeply nested tag, and many small tags.
    SourceRun nested(
        {segment("<p>", "<p><:x" + std::string(kMegabyte, '<') + std::string(kMegabyte + 1, '>'))});
    EXPECT_EQ(nested.tags.size(), 1u);
    std::string tags = "<p>";
    for (int i = 0; i < kManySegments / 4; ++i) tags += "<:b>";
    SourceRun many({segment("<p>", tags)});
    EXPECT_EQ(many.tags.size(), std::size_t{kManySegments / 4});
    EXPECT_EQ(entry(many.counts, "<:b>"), std::to_string(kManySegments / 4) + " internal 78/0");
}

// ---- Whole runs ----

struct PairRun {
    PairRun(std::string_view sourceBody, std::string_view targetBody) {
        job.baseName = "doc";
        job.extension = ".TXT";
        job.sourceDir = dir.dir() + "src/";
        job.targetDir = dir.dir() + "tgt/";
        dir.write("src/doc.TXT", test::brxText(sourceBody));
        dir.write("tgt/doc.TXT", test::brxText(targetBody));
        NoProgress progress;
        const PairOutcome outcome = verifyPair(job, progress);
        status = outcome.status;
        storedErrors = outcome.counts.errors;
    }

    // The report in CR LF lines, with the date line taken out.
    std::string reportWithoutDate() const {
        std::string text = test::readFile(job.reportPath());
        const std::size_t date = text.find("Date/Time: ");
        if (date != std::string::npos) text.erase(date, text.find("\r\n", date) + 2 - date);
        return text;
    }

    test::TempDir dir;
    VerifyJob job;
    VerifyStatus status = VerifyStatus::UnknownError;
    int storedErrors = -1;
};

const std::string kDashes(69, '-');
const std::string kStars(64, '*');

std::string errorBlock() {
    return "\r\n" + kStars +
           "\r\nThe file contains errors that must be corrected before it can be converted!\r\n"
           "Fix the problem(s) and run The Brevo Verifier again.\r\n" +
           kStars + "\r\n\r\n";
}

// A segment block as it stands in a text report.
std::string fileBlock(const std::string& message, const std::string& shown) {
    return message + "\r\n" + kTop + "\r\n" + shown + "\r\n" + std::string(40, '+') + "\r\n\r\n";
}

std::string header(const PairRun& pair, int errors) {
    return kDashes + "\r\nVerification Report generated by The Brevo Verifier\r\nSource File: " +
           pair.job.sourcePath() + "\r\nTarget File: " + pair.job.targetPath() +
           "\r\nErrors: " + std::to_string(errors) + "\r\n" + kDashes + "\r\n\r\n";
}

TEST(WholeRun, LexicalErrorInTheSourceEndsThePair) {
    PairRun pair("<page \"1\">a > b\n</brx>\n", "<page \"1\">a\n</brx>\n");
    EXPECT_EQ(pair.status, VerifyStatus::NotFullyCompared);
    EXPECT_EQ(pair.storedErrors, 1);
    EXPECT_EQ(pair.reportWithoutDate(),
              header(pair, 1) +
                  "\r\nVerify external source tags\r\n===========================\r\n\r\n" +
                  fileBlock("[1] ERROR! Different number of < and >.", "<page \"1\">a > b") +
                  "\r\nNote: You should never get verification errors in the source file.\r\n"
                  "The source file is invalid.\r\n" +
                  errorBlock());
}

TEST(WholeRun, LexicalErrorsInTheTargetEndThePairWithoutNotes) {
    const std::string skeleton = "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello\n";
    const std::string closing = "</page>\n</file \"x\">\n</brx>\n";
    PairRun pair(skeleton + closing,
                 skeleton + "<fn \"<b>\">\n</page>\n<page \"2\">x>\n" + closing);
    EXPECT_EQ(pair.status, VerifyStatus::NotFullyCompared);
    EXPECT_EQ(
        pair.reportWithoutDate(),
        header(pair, 2) + "\r\nVerify external target tags\r\n===========================\r\n\r\n" +
            fileBlock("[1] ERROR! Nested external tags.", "<fn \"<b>\">") +
            fileBlock("[2] ERROR! Different number of < and >.", "<page \"2\">x>") + errorBlock());
}

}  // namespace
}  // namespace brevo
