#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "base/file_failure.h"
#include "brx/failure.h"
#include "test_support.h"
#include "verify/messages.h"
#include "verify/pair_outcome.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

using test::brxText;
using test::TempDir;

// Counts the steps of a run and cancels at a chosen one.
class CountingProgress : public RunProgress {
public:
    bool step() override {
        ++fullSteps;
        if (fullSteps == cancelAt) cancel = true;
        return !cancel;
    }
    void skipStep() override { ++batchOnlySteps; }

    int fullSteps = 0;
    int batchOnlySteps = 0;
    int cancelAt = -1;
    bool cancel = false;
};

const std::string kCleanBody =
    "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello <:b>world<:/b>\n</page>\n</file \"x\">\n"
    "</brx>\n";

struct Pair {
    TempDir source;
    TempDir target;
    VerifyJob job;

    Pair(const std::string& sourceBytes, const std::string& targetBytes) {
        source.write("a.txt", sourceBytes);
        target.write("a.txt", targetBytes);
        job.sourceDir = source.dir();
        job.targetDir = target.dir();
        job.baseName.assign(1, 'a');
        job.extension = std::string(".TXT");  // found as a.txt regardless of case
    }
};

struct Outcome {
    VerifyStatus status = VerifyStatus::UnknownError;
    FileErrorCause fileCause = FileErrorCause::None;
    std::string fileName;
    FindingCounts counts;
};

Outcome runPair(VerifyJob& job, CountingProgress& progress) {
    const PairOutcome pair = verifyPair(job, progress);
    Outcome outcome{pair.status, FileErrorCause::None, "", pair.counts};
    if (pair.fileFailure) {
        outcome.fileCause = pair.fileFailure->cause;
        outcome.fileName = pair.fileFailure->fileName;
    }
    return outcome;
}

TEST(Run, CleanPairCompletesWithoutReportInExactly24Steps) {
    Pair pair(brxText(kCleanBody, "French"), brxText(kCleanBody, "French"));
    CountingProgress host;
    const Outcome outcome = runPair(pair.job, host);
    EXPECT_EQ(outcome.status, VerifyStatus::Completed);
    EXPECT_EQ(host.fullSteps, 24);
    EXPECT_EQ(host.batchOnlySteps, 0);
    EXPECT_EQ(outcome.counts, FindingCounts{});
    EXPECT_FALSE(std::filesystem::exists(pair.target.path() / "a.CMP"));
    // The target's header language is the one left for the next pair.
    EXPECT_EQ(pair.job.languages.sourceLanguage, "French");
}

TEST(Run, LoadFailuresEndThePairAndFillTheBatchBar) {
    struct Case {
        std::string source;
        std::string target;
        VerifyStatus status;
    };
    const Case cases[] = {
        {"", brxText(kCleanBody), VerifyStatus::UnexpectedEnd},
        {"\n<brx \"I2.00\">\n", brxText(kCleanBody), VerifyStatus::NotBrx},
        {brxText(kCleanBody), "<brx \"I2.01\">\n", VerifyStatus::NewerVersion},
        {brxText(kCleanBody), "<tf>\n", VerifyStatus::FrameMakerFile},
        {brxText(kCleanBody), brxText(kCleanBody, "Klingon"), VerifyStatus::InvalidLanguage},
        {brxText(kCleanBody), "<brx \"I2.00\">\n<language \"German\">\n<quotes \"As text\">\n",
         VerifyStatus::UnexpectedEnd},
    };
    for (const Case& c : cases) {
        Pair pair(c.source, c.target);
        CountingProgress host;
        EXPECT_EQ(runPair(pair.job, host).status, c.status);
        EXPECT_EQ(host.fullSteps + host.batchOnlySteps, 24);
        EXPECT_FALSE(std::filesystem::exists(pair.target.path() / "a.CMP"));
    }
}

TEST(Run, MissingSourceIsAFileFailureNamingTheFile) {
    Pair pair(brxText(kCleanBody), brxText(kCleanBody));
    std::filesystem::remove(pair.source.path() / "a.txt");
    CountingProgress host;
    Outcome outcome = runPair(pair.job, host);
    EXPECT_EQ(outcome.status, VerifyStatus::FileError);
    EXPECT_EQ(outcome.fileCause, FileErrorCause::NotFound);
    EXPECT_EQ(outcome.fileName, pair.source.dir() + "a.TXT");
    EXPECT_EQ(host.fullSteps + host.batchOnlySteps, 24);
}

TEST(Run, CancelAtAnyStepEndsThePairWithoutReport) {
    for (int step = 1; step <= 24; ++step) {
        Pair pair(brxText(kCleanBody), brxText(kCleanBody));
        CountingProgress host;
        host.cancelAt = step;
        EXPECT_EQ(runPair(pair.job, host).status, VerifyStatus::Cancelled) << step;
        EXPECT_EQ(host.fullSteps, step);
        EXPECT_EQ(host.fullSteps + host.batchOnlySteps, 24);
    }
}

TEST(Run, UnderlineIsAsLongAsTheHeadingText) {
    EXPECT_EQ(detail::underlineFor("\nVerify external source tags"), std::string(27, '=') + "\n");
    EXPECT_EQ(detail::underlineFor("abc"), "===\n");
}

// Findings format their messages from texts cut beforehand; every message must come out as
// the plain formatter makes it, with all its arguments, with too few, and with none.
TEST(Messages, CutMessagesFormatLikeTheirTexts) {
    const std::vector<MessageArg> args{42LL, std::string_view("<:b>\0%s", 7), 'c', -7LL,
                                       std::string_view("tag")};
    int messages = 0;
    for (int number = 18000; number < 19000; ++number) {
        const auto id = static_cast<MessageId>(number);
        if (messageText(id).empty()) continue;
        ++messages;
        for (std::size_t given = 0; given <= args.size(); given += 2) {
            const std::span<const MessageArg> some(args.data(), given);
            std::string plain = "kept ";
            appendFormatted(plain, messageText(id), some);
            std::string cut = "kept ";
            appendMessage(cut, id, some);
            EXPECT_EQ(cut, plain) << number << " with " << given;
        }
    }
    EXPECT_GT(messages, 80);
    std::string unknown = "kept";
    appendMessage(unknown, static_cast<MessageId>(17000), args);
    EXPECT_EQ(unknown, "kept");
}

// --- where findings point -----------------------------------------------------------------

// A finding by its message and the lines it names in each file, 0 for none.
struct Placed {
    MessageId id;
    std::uint32_t sourceLine = 0;
    std::uint32_t targetLine = 0;
    bool operator==(const Placed&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Placed& placed) {
    return out << static_cast<int>(placed.id) << " at " << placed.sourceLine << "/"
               << placed.targetLine;
}

// The findings of a pair, where the body of each file is put after the four header lines, so
// that its first line is line 5.
std::vector<Placed> placedFindings(const std::string& sourceBody, const std::string& targetBody) {
    Pair pair(brxText(sourceBody), brxText(targetBody));
    pair.job.options.keepFindings = true;
    CountingProgress progress;
    std::vector<Placed> placed;
    for (const Finding& finding : verifyPair(pair.job, progress).findings) {
        Placed one{static_cast<MessageId>(finding.messageId)};
        for (const SegmentRef& segment : finding.segments) {
            std::uint32_t& line = segment.side == Side::Source ? one.sourceLine : one.targetLine;
            if (line == 0) line = segment.line;
        }
        placed.push_back(one);
    }
    return placed;
}

std::string page(const std::string& lines) {
    return "<file \"x\">\n<page \"1\">\n" + lines + "</page>\n</file \"x\">\n</brx>\n";
}

// A bracket fault in text held from before the next tag points where that text begins: a tag
// left open at the end of a line, a "<" alone at the end of one.
TEST(FindingLines, BracketFaultsPointWhereTheQuotedTextBegins) {
    const std::string clean = page("<ps \"A\">x\n<ps \"B\">y\n<ps \"C\">Problem\n");
    EXPECT_EQ(placedFindings(clean, page("<ps \"A\">x\n<ps \"B\"\n<ps \"C\">Problem\n")),
              (std::vector<Placed>{{MessageId::BracketCountsDiffer, 0, 8}}));
    EXPECT_EQ(placedFindings(clean, page("<ps \"A\">x\n<ps \"B\">y <\n<ps \"C\">Problem\n")),
              (std::vector<Placed>{{MessageId::BracketCountsDiffer, 0, 8}}));
    // Text held over several tagless stretches points at the first of them.
    EXPECT_EQ(placedFindings(page("<ps \"A\">x\n<ps \"B\n<fn \"<x\n<ps \"C\">Problem\n"), clean),
              (std::vector<Placed>{{MessageId::BracketCountsDiffer, 8, 0}}));
}

// Structure findings point at the tag they name: the index marker that lacks its entry, the
// element left open.
TEST(FindingLines, StructureFindingsPointAtTheTagsTheyName) {
    EXPECT_EQ(placedFindings(page("<imk \"Index\">\n<il>sub\n</imk>\n"), page("")),
              (std::vector<Placed>{{MessageId::IndexEntryMissing, 7, 0}}));
    EXPECT_EQ(placedFindings("<file \"x\">\n<page \"1\">\n</page>\n</brx>\n", page("")),
              (std::vector<Placed>{{MessageId::StartWithoutEnd, 5, 0}}));
}

// A tag deleted from the translation is placed there at the segment that stands in its place,
// an added one in the source at the segment that stands where it is; at the ends of the lists,
// at the last segment of the other file.
TEST(FindingLines, ChangedExternalTagsArePlacedInBothFiles) {
    const std::string source = page("<ps \"A\">a\n<ps \"B\">b\n<ps \"C\">c\n");
    EXPECT_EQ(placedFindings(source, page("<ps \"A\">a\n<ps \"C\">c\n")),
              (std::vector<Placed>{{MessageId::ExternalTagDeletedWarning, 8, 8}}));
    EXPECT_EQ(placedFindings(page("<ps \"A\">a\n<ps \"C\">c\n"),
                             page("<ps \"A\">a\n<ps \"A\">b\n<ps \"C\">c\n")),
              (std::vector<Placed>{{MessageId::ExternalTagIllegallyAdded, 8, 8}}));
    // The translation stops after its page tag: what follows is deleted at its end.
    const std::string cut = "<file \"x\">\n<page \"1\">\n";
    EXPECT_EQ(placedFindings(page("<ps \"A\">a\n"), cut),
              (std::vector<Placed>{{MessageId::EndOfBrxMissing, 0, 0},
                                   {MessageId::ExternalTagDeletedWarning, 7, 6},
                                   {MessageId::ExternalTagDeletedError, 8, 6},
                                   {MessageId::ExternalTagDeletedError, 9, 6},
                                   {MessageId::ExternalTagDeletedError, 10, 6}}));
}

// An internal tag is placed at its own line, blank lines counted, and in the other file at the
// segment paired with its own.
TEST(FindingLines, ChangedInternalTagsArePlacedAtTheirOwnLines) {
    const std::string source = page("<ps \"A\">a\n<ps \"B\">one\ntwo <:lt> three\n");
    EXPECT_EQ(placedFindings(source, page("<ps \"A\">a\n<ps \"B\">one\n\r\n\ntwo three\n")),
              (std::vector<Placed>{{MessageId::InternalTagDeletedWarning, 9, 8}}));
    EXPECT_EQ(placedFindings(page("<ps \"A\">a\n<ps \"B\">one\ntwo three\n"),
                             page("<ps \"A\">a\n\n<ps \"B\">one\n\n\ntwo <:lt> three\n")),
              (std::vector<Placed>{{MessageId::InternalTagAddedWarning, 8, 12}}));
}

}  // namespace
}  // namespace brevo
