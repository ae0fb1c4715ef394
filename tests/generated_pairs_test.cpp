// The benchmark's pairs must be what they claim: clean pairs pass every check, in text and in
// RTF alike, and each kind of damage shows in the checks that look for it.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/file_failure.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "pair_generator.h"
#include "test_support.h"
#include "verify/verification_run.h"

namespace brevo {
namespace {

using bench::Damage;
using bench::Form;
using bench::PairOptions;
using test::TempDir;

struct GeneratedPair {
    TempDir source;
    TempDir target;
    VerifyJob job;
    bench::PairStats stats;

    explicit GeneratedPair(const PairOptions& options) {
        const std::string name = options.form == Form::Rtf ? "book.rtf" : "book.txt";
        stats = bench::generatePairFiles(options, source.dir() + name, target.dir() + name);
        job.sourceDir = source.dir();
        job.targetDir = target.dir();
        job.baseName = "book";
        job.extension = options.form == Form::Rtf ? ".RTF" : ".TXT";
        job.options.fileFormat = options.form == Form::Rtf ? FileFormat::Rtf : FileFormat::Text;
    }

    // The status and the report, empty when none was written.
    std::pair<VerifyStatus, std::string> verify() {
        NoProgress progress;
        const VerifyStatus status = verifyPair(job, progress).status;
        const auto report = target.path() / "book.CMP";
        return {status, std::filesystem::exists(report) ? test::readFile(report) : ""};
    }
};

PairOptions options(std::uint64_t seed, Form form, Damage damage = {}) {
    PairOptions made;
    made.seed = seed;
    made.sourceBytes = 40 * 1024;
    made.form = form;
    made.damage = damage;
    return made;
}

TEST(GeneratedPairs, CleanPairsPassEveryCheckAsTextAndAsRtf) {
    for (std::uint64_t seed : {1u, 2u, 3u, 4u}) {
        for (Form form : {Form::Text, Form::Rtf}) {
            GeneratedPair pair(options(seed, form));
            EXPECT_GE(pair.stats.sourceBytes, 40u * 1024);
            EXPECT_GT(pair.stats.externalTags, 300u);
            EXPECT_GT(pair.stats.internalTags, 200u);
            const auto [status, report] = pair.verify();
            EXPECT_EQ(status, VerifyStatus::Completed) << "seed " << seed;
            EXPECT_EQ(report, "") << "seed " << seed;
        }
    }
}

TEST(GeneratedPairs, RtfHoldsTheLinesOfTheTextForm) {
    TempDir dir;
    bench::generatePairFiles(options(5, Form::Text), dir.dir() + "s.txt", dir.dir() + "t.txt");
    bench::generatePairFiles(options(5, Form::Rtf), dir.dir() + "s.rtf", dir.dir() + "t.rtf");
    for (const char* side : {"s", "t"}) {
        LanguageSettings languages;
        std::vector<std::string> text;
        std::vector<std::string> rtf;
        detail::readBrxFile(dir.dir() + side + ".txt", FileFormat::Text, languages, text);
        detail::readBrxFile(dir.dir() + side + ".rtf", FileFormat::Rtf, languages, rtf);
        EXPECT_EQ(rtf, text) << side;
    }
}

TEST(GeneratedPairs, SameOptionsSameBytesAndTheSourceNeverSpoiled) {
    TempDir dir;
    Damage damage;
    damage.loseExternal = 30;
    damage.changeTags = 10;
    bench::generatePairFiles(options(6, Form::Text), dir.dir() + "s1", dir.dir() + "t1");
    bench::generatePairFiles(options(6, Form::Text, damage), dir.dir() + "s2", dir.dir() + "t2");
    bench::generatePairFiles(options(6, Form::Text, damage), dir.dir() + "s3", dir.dir() + "t3");
    bench::generatePairFiles(options(7, Form::Text, damage), dir.dir() + "s4", dir.dir() + "t4");
    const auto read = [&](const char* name) { return test::readFile(dir.path() / name); };
    EXPECT_EQ(read("s1"), read("s2"));
    EXPECT_EQ(read("t2"), read("t3"));
    EXPECT_NE(read("t1"), read("t2"));
    EXPECT_NE(read("s1"), read("s4"));
}

// Each kind of damage reaches the share asked for and is found by the checks meant for it.
TEST(GeneratedPairs, EachDamageShowsWhereItShould) {
    struct Case {
        Damage damage;
        const char* expectedInReport;
    };
    Damage lost, moved, changed, dropped, added;
    lost.loseExternal = 50;
    moved.moveInternal = 50;
    changed.changeTags = 10;
    dropped.dropInternal = 20;
    added.addMarked = 5;
    const Case cases[] = {
        {lost, "has been deleted."},           {moved, "Comparing internal tags"},
        {changed, "has been changed to"},      {dropped, "Internal Tags Report"},
        {added, "Added External tags report"},
    };
    for (const Case& c : cases) {
        GeneratedPair pair(options(8, Form::Text, c.damage));
        const bench::PairStats& stats = pair.stats;
        const double tags = static_cast<double>(stats.externalTags + stats.internalTags);
        auto percent = [](std::uint64_t part, double whole) {
            return 100.0 * static_cast<double>(part) / whole;
        };
        const auto external = static_cast<double>(stats.externalTags);
        const auto internal = static_cast<double>(stats.internalTags);
        EXPECT_NEAR(percent(stats.lostExternal, external), c.damage.loseExternal, 1);
        EXPECT_NEAR(percent(stats.movedInternal, internal), c.damage.moveInternal, 1);
        EXPECT_NEAR(percent(stats.changedTags, tags), c.damage.changeTags, 1);
        EXPECT_NEAR(percent(stats.droppedInternal, internal), c.damage.dropInternal, 1);
        const auto [status, report] = pair.verify();
        EXPECT_EQ(status, VerifyStatus::Completed);
        EXPECT_NE(report.find(c.expectedInReport), std::string::npos) << c.expectedInReport;
    }
}

// The report without its date line, which differs from run to run.
std::string withoutDate(const std::string& report) {
    const std::size_t date = report.find("Date/Time: ");
    if (date == std::string::npos) return report;
    return report.substr(0, date) + report.substr(report.find('\n', date) + 1);
}

// Reading the target on a thread of its own, with part of its checks done there, changes
// nothing in what a run finds or leaves: not for damage, not for a target whose brackets are
// broken, not for a header that fails after its language, not for a missing target.
TEST(GeneratedPairs, TargetReadAheadGivesTheSameResult) {
    Damage damaged;
    damaged.loseExternal = 5;
    damaged.moveInternal = 10;
    damaged.changeTags = 3;
    damaged.addMarked = 3;
    for (int variant = 0; variant < 6; ++variant) {
        GeneratedPair pair(options(static_cast<std::uint64_t>(20 + variant),
                                   variant == 3 ? Form::Rtf : Form::Text,
                                   variant == 0 ? Damage{} : damaged));
        if (variant == 2) {
            std::string bytes = test::readFile(pair.target.path() / "book.txt");
            bytes.insert(bytes.size() / 2, "<:b");  // a tag left open: a lexical fault
            pair.target.write("book.txt", bytes);
        }
        if (variant == 4) {
            pair.target.write("book.txt", "<brx \"I2.00\">\n<language \"French\">\n<quotes>\n");
        }
        if (variant == 5) {
            pair.target.write("book.txt", "<brx \"I2.00\">\n<language \"Klingon\">\n");
        }
        struct Result {
            VerifyStatus status;
            std::string report;
            std::string sourceLanguage;
        } results[2];
        for (int ahead = 0; ahead < 2; ++ahead) {
            pair.job.languages = LanguageSettings();
            setSourceLanguage(pair.job.languages, "German");  // left by an earlier pair
            pair.job.options.readTargetAheadFrom = ahead ? 0 : UINTMAX_MAX;
            auto [status, report] = pair.verify();
            results[ahead] = {status, withoutDate(report), pair.job.languages.sourceLanguage};
        }
        EXPECT_EQ(results[0].status, results[1].status) << "variant " << variant;
        EXPECT_EQ(results[0].report, results[1].report) << "variant " << variant;
        EXPECT_EQ(results[0].sourceLanguage, results[1].sourceLanguage) << "variant " << variant;
        EXPECT_EQ(results[0].report.empty(), variant == 0 || variant >= 4) << "variant " << variant;
        if (variant == 4) {
            // The header's language was taken before its quotes line failed.
            EXPECT_EQ(results[1].status, VerifyStatus::MissingQuotes);
            EXPECT_EQ(results[1].sourceLanguage, "French");
        }
        if (variant == 5) {
            // An unknown language leaves the source's own.
            EXPECT_EQ(results[1].status, VerifyStatus::InvalidLanguage);
            EXPECT_EQ(results[1].sourceLanguage, "English (US)");
        }
    }
    GeneratedPair missing(options(30, Form::Text));
    std::filesystem::remove(missing.target.path() / "book.txt");
    missing.job.options.readTargetAheadFrom = 0;
    EXPECT_EQ(missing.verify().first, VerifyStatus::FileError);
}

}  // namespace
}  // namespace brevo
