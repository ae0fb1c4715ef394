// The desktop app's window-free pieces.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/model/batch_settings.h"
#include "app/model/path_rules.h"
#include "app/model/results_file.h"
#include "app/model/results_log.h"
#include "app/model/settings_rules.h"
#include "app/model/start_up.h"
#include "app/model/system_overview.h"
#include "app/model/window_placement.h"
#include "batch/status_messages.h"
#include "test_support.h"

namespace brevo::app {
namespace {

using test::TempDir;

TEST(WindowPlacement, CentredOverTheOwnerAndKeptOnTheDesktop) {
    const Rect desktop{0, 0, 1280, 1024};
    EXPECT_EQ(centreOverOwner({0, 0, 200, 100}, {100, 100, 601, 401}, desktop), (Point{300, 250}));
    // Near the top-left corner: no coordinate below 0.
    EXPECT_EQ(centreOverOwner({0, 0, 400, 300}, {-50, 10, 100, 100}, desktop), (Point{0, 0}));
    // Near the right and bottom edges: the dialog's far edges meet the desktop's.
    EXPECT_EQ(centreOverOwner({0, 0, 400, 300}, {1200, 950, 200, 200}, desktop), (Point{880, 724}));
    // A dialog larger than the desktop: the far edges win over the corner.
    EXPECT_EQ(centreOverOwner({0, 0, 1400, 1100}, {0, 0, 100, 100}, desktop), (Point{-120, -76}));
    // Halving rounds toward zero.
    EXPECT_EQ(centreOverOwner({0, 0, 10, 10}, {10, 10, 15, 15}, desktop), (Point{12, 12}));
}

TEST(StartUp, SplashLeftOutOnlyForEmbeddingOrAutomation) {
    EXPECT_TRUE(splashEnabled({}));
    EXPECT_TRUE(splashEnabled({"file.txt", "/other", "Embedding", "--Embedding"}));
    EXPECT_FALSE(splashEnabled({"/Embedding"}));
    EXPECT_FALSE(splashEnabled({"-embedding"}));
    EXPECT_FALSE(splashEnabled({"a.txt", "/AUTOMATION"}));
    EXPECT_FALSE(splashEnabled({"-Automation"}));
}

TEST(ResultsFile, SavedWithCrLfAndAFailureNamed) {
    TempDir dir;
    const std::string path = (dir.path() / "RESULTS.TXT").string();
    EXPECT_TRUE(saveResults(path, {"", "Verifying a.txt", "Errors: 2"}).empty());
    EXPECT_EQ(test::readFile(path), "\r\nVerifying a.txt\r\nErrors: 2\r\n");

    const std::string missing = (dir.path() / "no" / "RESULTS.TXT").string();
    EXPECT_EQ(saveResults(missing, {"x"}),
              (std::vector<std::string>{std::string(fileErrorMessage(test::kNoSuchDirectory)),
                                        "Filename:" + missing}));
    std::filesystem::create_directory(dir.path() / "taken");
    const std::string directory = (dir.path() / "taken").string();
    EXPECT_EQ(saveResults(directory, {"x"}).size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(directory));
}

TEST(ResultsLog, ALineLeadsToTheReportOfItsPairByItsRecord) {
    TempDir dir;
    const std::string report = dir.write("a.CMP", "report");
    ResultsLog log;
    for (const char* line : {"", "Monday", ""}) log.append(line);
    auto pair = [&](const std::string& name, std::vector<std::string> lines) {
        log.startPair();
        // The text of the line is never read back: a name that says otherwise changes nothing.
        log.append("Verifying elsewhere/" + name + ".txt");
        for (std::string& line : lines) log.append(std::move(line));
        PairRecord record;
        record.reportPath = dir.dir() + name + ".CMP";
        log.finishPair(std::make_shared<const PairRecord>(std::move(record)));
    };
    pair("a", {"Verification complete!", "Errors: 1", ""});
    pair("b", {"Verification complete!", ""});
    log.append(std::string(84, '_'));
    EXPECT_EQ(log.reportOfRow(3), report);
    EXPECT_EQ(log.reportOfRow(5), report);
    EXPECT_EQ(log.reportOfRow(6), report);  // the blank line that closes the pair
    EXPECT_EQ(log.recordOfRow(8)->reportPath, dir.dir() + "b.CMP");
    EXPECT_EQ(log.reportOfRow(8), std::nullopt);  // b has no report
    EXPECT_EQ(log.reportOfRow(1), std::nullopt);
    EXPECT_EQ(log.recordOfRow(10), nullptr);
    EXPECT_EQ(log.reportOfRow(99), std::nullopt);
    log.clear();
    log.append("x");
    EXPECT_EQ(log.recordOfRow(0), nullptr);
}

TEST(PathRules, OnlyExistingDirectoriesCount) {
    TempDir dir;
    const std::string file = dir.write("a.txt", "x");
    EXPECT_TRUE(directoryExists(dir.dir()));
    EXPECT_FALSE(directoryExists(file));
    EXPECT_FALSE(directoryExists(""));
    EXPECT_FALSE(directoryExists(dir.dir() + "missing/"));
    EXPECT_EQ(existingDirectoryOr(dir.dir() + "missing/", "/home/x/"), "/home/x/");
}

TEST(BatchSettings, TheBatchIsMadeFromTheSettings) {
    VerifySettings settings = defaultSettings("/home/x/");
    EXPECT_EQ(settings.orgFilesPath, "/home/x/");
    EXPECT_EQ(fileFormatOf(settings), FileFormat::Rtf);
    settings.fileFormat = FileFormat::Text;
    settings.overwriteFiles = true;
    settings.rtfPageSize = PageSize::Letter;
    settings.targetLanguage = "Japanese (EUC)";
    const BatchRequest request = batchRequestFrom(settings);
    EXPECT_EQ(request.options.fileFormat, FileFormat::Text);
    EXPECT_TRUE(request.options.overwriteFiles);
    EXPECT_EQ(request.options.pageSize, PageSize::Letter);
    EXPECT_TRUE(request.options.keepPathsDuringSession);
    EXPECT_EQ(request.targetLanguage, "Japanese (EUC)");
    EXPECT_TRUE(request.options.keepFindings);
    EXPECT_GE(request.jobs, 1);
    settings.pairsAtOnce = 1;
    EXPECT_EQ(batchRequestFrom(settings).jobs, 1);
}

TEST(Settings, AFirstRunHasTheDefaults) {
    MemoryStore empty;
    const VerifySettings settings = readSettings(empty, "/home/x/");
    EXPECT_TRUE(settings.keepPathsDuringSession);
    EXPECT_TRUE(settings.keepPathsBetweenSessions);
    EXPECT_EQ(settings.orgFilesPath, "/home/x/");
    EXPECT_EQ(settings.translatedFilesPath, "/home/x/");
    EXPECT_FALSE(settings.overwriteFiles);
    EXPECT_EQ(settings.fileFormat, FileFormat::Rtf);
    EXPECT_EQ(settings.targetLanguage, "English (US)");
    EXPECT_EQ(settings.targetLanguageSelection, 1000);
    EXPECT_EQ(settings.handedOn.translationHyphenation, 1);
    EXPECT_EQ(settings.handedOn.smartQuotes, 1);
    EXPECT_EQ(settings.handedOn.readOnlyComponents, 1);
    EXPECT_TRUE(empty.writes.empty());
}

TEST(Settings, ReadAsStoredWhereTheyStillMakeSense) {
    TempDir dir;
    MemoryStore store;
    store.writeString("PATHS", "ORG_FILES", dir.dir());
    store.writeString("PATHS", "TRANSLATED_FILES", dir.dir() + "gone/");
    store.writeString("OPTIONS", "TARGET_LANGUAGE", "");
    store.writeString("OPTIONS", "SOURCE_LANGUAGE", "Japanese");
    store.writeInt("OPTIONS", "SMART_QUOTES", 0);
    store.writeString("OPTIONS", "FILE_FORMAT_FOR_BRX", "text");  // not a number: missing
    store.writeString("OPTIONS", "OVERWRITE_FILES", "1");
    VerifySettings settings = readSettings(store, "/home/x/");
    EXPECT_EQ(settings.orgFilesPath, dir.dir());
    EXPECT_EQ(settings.translatedFilesPath, "/home/x/");
    EXPECT_EQ(settings.targetLanguage, "English (US)");
    EXPECT_EQ(settings.sourceLanguage, "Japanese");
    EXPECT_EQ(settings.handedOn.smartQuotes, 0);
    EXPECT_EQ(settings.fileFormat, FileFormat::Rtf);
    EXPECT_TRUE(settings.overwriteFiles);

    // Without "During Session" no stored directory is read.
    store.writeInt("PATHS", "DURING_SESSION", 0);
    settings = readSettings(store, "/home/x/");
    EXPECT_EQ(settings.orgFilesPath, "/home/x/");
}

TEST(Settings, NumbersAreDecodedOnceAndWrittenBackAsRead) {
    MemoryStore store;
    store.writeInt("PATHS", "DURING_SESSION", 5);
    store.writeInt("PATHS", "BETWEEN_SESSIONS", 0);
    store.writeInt("OPTIONS", "OVERWRITE_FILES", -1);
    store.writeInt("OPTIONS", "FILE_FORMAT_FOR_BRX", 7);
    store.writeInt("OPTIONS", "RTF_PAGE_SIZE", 3);
    VerifySettings settings = readSettings(store, "/home/x/");
    EXPECT_TRUE(settings.keepPathsDuringSession);
    EXPECT_FALSE(settings.keepPathsBetweenSessions);
    EXPECT_TRUE(settings.overwriteFiles);
    EXPECT_EQ(settings.fileFormat, FileFormat::Text);  // only 1 is RTF
    EXPECT_EQ(batchRequestFrom(settings).options.pageSize, PageSize::Letter);

    // Unchanged, each number goes back as it was; a changed value as its own number.
    writeSettings(store, settings, "/home/x/");
    EXPECT_EQ(store.readInt("PATHS", "DURING_SESSION"), 5);
    EXPECT_EQ(store.readInt("OPTIONS", "OVERWRITE_FILES"), -1);
    EXPECT_EQ(store.readInt("OPTIONS", "FILE_FORMAT_FOR_BRX"), 7);
    settings.fileFormat = FileFormat::Rtf;
    settings.overwriteFiles = false;
    settings.keepPathsBetweenSessions = true;
    writeSettings(store, settings, "/home/x/");
    EXPECT_EQ(store.readInt("OPTIONS", "FILE_FORMAT_FOR_BRX"), 1);
    EXPECT_EQ(store.readInt("OPTIONS", "OVERWRITE_FILES"), 0);
    EXPECT_EQ(store.readInt("PATHS", "BETWEEN_SESSIONS"), 1);
    EXPECT_EQ(store.readInt("PATHS", "DURING_SESSION"), 5);
}

TEST(Settings, WrittenOptionsFirstAndOnlyWhatHasAControl) {
    MemoryStore store;
    store.writeInt("OPTIONS", "SMART_QUOTES", 0);
    store.writes.clear();
    VerifySettings settings = readSettings(store, "/home/x/");
    settings.orgFilesPath = "/src/";
    settings.translatedFilesPath = "/tgt/";
    settings.targetLanguage = "German";
    settings.targetLanguageSelection = 8;
    settings.handedOn.smartQuotes = 1;  // no control changes it; it is never written
    writeSettings(store, settings, "/home/x/");
    EXPECT_EQ(store.writes, (std::vector<std::string>{
                                "OPTIONS/OVERWRITE_FILES", "OPTIONS/FILE_FORMAT_FOR_BRX",
                                "OPTIONS/TARGET_LANGUAGE", "OPTIONS/TARGET_LANGUAGE_SELECTION",
                                "PATHS/DURING_SESSION", "PATHS/BETWEEN_SESSIONS", "PATHS/ORG_FILES",
                                "PATHS/TRANSLATED_FILES"}));
    EXPECT_EQ(store.readInt("OPTIONS", "SMART_QUOTES"), 0);
    EXPECT_EQ(store.readString("PATHS", "ORG_FILES"), "/src/");
    EXPECT_EQ(store.readInt("OPTIONS", "TARGET_LANGUAGE_SELECTION"), 8);

    // Not kept between sessions: the directories are stored as the home directory, the
    // switches as they stand.
    settings.keepPathsBetweenSessions = false;
    writeSettings(store, settings, "/home/x/");
    EXPECT_EQ(store.readString("PATHS", "ORG_FILES"), "/home/x/");
    EXPECT_EQ(store.readString("PATHS", "TRANSLATED_FILES"), "/home/x/");
    EXPECT_EQ(store.readInt("PATHS", "BETWEEN_SESSIONS"), 0);
    EXPECT_EQ(store.readInt("PATHS", "DURING_SESSION"), 1);

    // Values without a control reach the batch.
    settings.handedOn.smartQuotes = 0;
    settings.handedOn.markerPlaceholders = 3;
    const BatchRequest request = batchRequestFrom(settings);
    EXPECT_EQ(request.options.handedOn.smartQuotes, 0);
    EXPECT_EQ(request.options.handedOn.markerPlaceholders, 3);
}

TEST(SystemOverview, FifteenLinesInSixtyFourBitArithmetic) {
    SystemFigures figures;
    figures.totalMemory = 8ull << 30;
    figures.availableMemory = 1025;
    figures.totalPaging = 2047;
    figures.disk = SystemFigures::Disk{8ull << 30, (5ull << 30) + 1, "/home"};
    figures.system = "Linux";
    figures.majorVersion = 6;
    figures.minorVersion = 1;
    const std::vector<std::string> lines = overviewLines(figures);
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "System Settings Overview:", "", "Total Physical Memory: 8388608 KB",
                  "Available Physical Memory: 1 KB", "", "Total Paging File Memory: 1 KB",
                  "Available Paging File Memory: 0 KB", "", "Total Disk Space: 8192 MB on /home",
                  "Available Disk Space: 5120 MB on /home", "", "Operating System: Linux",
                  "Major version: 6", "Minor version: 1", ""}));
    figures.disk.reset();
    const std::vector<std::string> unavailable = overviewLines(figures);
    ASSERT_EQ(unavailable.size(), 15u);
    EXPECT_EQ(unavailable[8], "Total Disk Space: Unavailable");
    EXPECT_EQ(unavailable[9], "Available Disk Space: Unavailable");
    EXPECT_EQ(unavailable[10], "");
}

TEST(SystemOverview, VersionsFromAKernelRelease) {
    EXPECT_EQ(majorAndMinor("6.1.0-18-amd64"), (std::pair{6, 1}));
    EXPECT_EQ(majorAndMinor("10.0.19045"), (std::pair{10, 0}));
    EXPECT_EQ(majorAndMinor("5"), (std::pair{5, 0}));
    EXPECT_EQ(majorAndMinor("4.19-rc1"), (std::pair{4, 19}));
    EXPECT_EQ(majorAndMinor("unknown"), (std::pair{0, 0}));
}

}  // namespace
}  // namespace brevo::app
