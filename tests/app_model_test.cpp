// The desktop app's window-free pieces.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/model/batch_settings.h"
#include "app/model/path_rules.h"
#include "app/model/results_file.h"
#include "app/model/start_up.h"
#include "app/model/window_placement.h"
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
              (std::vector<std::string>{"File Error! The file could not be located.",
                                        "Filename:" + missing}));
    std::filesystem::create_directory(dir.path() / "taken");
    const std::string directory = (dir.path() / "taken").string();
    EXPECT_EQ(saveResults(directory, {"x"}).size(), 2u);
    EXPECT_TRUE(std::filesystem::is_directory(directory));
}

TEST(ResultsFile, ALineLeadsToTheReportOfItsPair) {
    TempDir dir;
    const std::string report = dir.write("a.CMP", "report");
    const std::vector<std::string> lines = {"",
                                            "Monday",
                                            "",
                                            "Verifying " + dir.dir() + "a.txt",
                                            "Verification complete!",
                                            "Errors: 1",
                                            "",
                                            "Verifying " + dir.dir() + "b.txt",
                                            "Verification complete!",
                                            ""};
    EXPECT_EQ(reportOfResultLine(lines, 3), report);
    EXPECT_EQ(reportOfResultLine(lines, 5), report);
    EXPECT_EQ(reportOfResultLine(lines, 6), std::nullopt);
    EXPECT_EQ(reportOfResultLine(lines, 8), std::nullopt);
    EXPECT_EQ(reportOfResultLine(lines, 1), std::nullopt);
    EXPECT_EQ(reportOfResultLine(lines, 99), std::nullopt);
}

TEST(PathRules, OnlyExistingDirectoriesCount) {
    TempDir dir;
    const std::string file = dir.write("a.txt", "x");
    EXPECT_TRUE(directoryExists(dir.dir()));
    EXPECT_FALSE(directoryExists(file));
    EXPECT_FALSE(directoryExists(""));
    EXPECT_FALSE(directoryExists(dir.dir() + "missing/"));
    EXPECT_EQ(existingDirectoryOr(dir.dir() + "missing/", "/home/x/"), "/home/x/");
    EXPECT_EQ(directoryOfFile(dir.dir() + "a.txt"), dir.dir());
}

TEST(BatchSettings, TheBatchIsMadeFromTheSettings) {
    VerifySettings settings = defaultSettings("/home/x/");
    EXPECT_EQ(settings.orgFilesPath, "/home/x/");
    EXPECT_EQ(fileFormatOf(settings), FileFormat::Rtf);
    settings.fileFormat = 0;
    settings.overwriteFiles = 1;
    settings.rtfPageSize = 1;
    settings.targetLanguage = "Japanese (EUC)";
    const BatchRequest request = batchRequestFrom(settings, {"/t/a.txt"}, "/s/", "/t/");
    EXPECT_EQ(request.options.fileFormat, FileFormat::Text);
    EXPECT_TRUE(request.options.overwriteFiles);
    EXPECT_EQ(request.options.rtfPageSize, 1);
    EXPECT_TRUE(request.options.keepPathsDuringSession);
    EXPECT_EQ(request.targetLanguage, "Japanese (EUC)");
    EXPECT_EQ(request.sourceDir, "/s/");
    EXPECT_EQ(request.jobs, 1);
}

}  // namespace
}  // namespace brevo::app
