// File names and files as each platform has them: names beyond ASCII and beyond the old length
// limit, "/" among the names a user gives, and on Windows a report that another program holds
// open.
#include <gtest/gtest.h>

#if defined(_WIN32)
#include <windows.h>
#endif

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "base/code_page.h"
#include "base/file_failure.h"
#include "base/file_mapping.h"
#include "base/file_names.h"
#include "base/file_status.h"
#include "base/regular_file.h"
#include "base/replacing_file.h"
#include "batch/file_selection.h"
#include "batch/verify_batch.h"
#include "test_support.h"

namespace brevo {
namespace {

using test::brxText;
using test::TempDir;

const std::string kClean =
    "<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello\n</page>\n</file \"x\">\n</brx>\n";
// A target with a lexical error: the pair always writes a report.
const std::string kBrokenTarget = brxText("<file \"x\">\n<page \"1\"\n</brx>\n");

TEST(PlatformNames, LongNamesBeyondAsciiAreVerifiedAndReported) {
    TempDir dir;
    std::string deep = "Übersetzung 翻訳";
    for (int level = 0; level < 6; ++level) {
        deep += "/ein-verzeichnis-mit-einem-recht-langen-namen-" + std::to_string(level);
    }
    const std::string source = dir.write(deep + "/src/café.txt", brxText(kClean));
    const std::string target = dir.write(deep + "/tgt/café.txt", kBrokenTarget);
    ASSERT_GT(target.size(), 300u);
    EXPECT_EQ(fileKind(target), FileKind::Regular);

    BatchRequest request;
    request.sourceDir = directoryOf(source);
    request.targetDir = directoryOf(target);
    request.files = {target};
    request.options.overwriteFiles = true;
    test::LogUser user;
    verifyBatch(request, user);
    const auto verifying = std::find(user.lines.begin(), user.lines.end(), "Verifying " + target);
    ASSERT_GE(std::distance(verifying, user.lines.end()), 3);
    const std::vector<std::string> expected = {
        "Verification failed! The files could not be fully compared.", "Errors: 1"};
    EXPECT_EQ(std::vector<std::string>(verifying + 1, verifying + 3), expected);
    const std::string report = directoryOf(target) + "café.CMP";
    EXPECT_NE(test::readFile(report).find("Verification Report"), std::string::npos);
}

// A report is in the code page of its language: a name whose every character that code page
// has is written in it; any other name keeps its bytes.
TEST(PlatformNames, NamesInAReportAreInItsCodePageWhereTheyFit) {
    TempDir dir;
    BatchRequest request;
    request.sourceDir = dir.dir() + "src" + kDirSeparator;
    request.targetDir = dir.dir() + "tgt" + kDirSeparator;
    request.options.overwriteFiles = true;
    for (const std::string name : {"café", "café Ж"}) {
        dir.write("src/" + name + ".txt", brxText(kClean));
        dir.write("tgt/" + name + ".txt", kBrokenTarget);
        request.files.push_back(request.targetDir + name + ".txt");
    }
    test::LogUser user;
    verifyBatch(request, user);
    const std::string western = test::readFile(request.targetDir + "café.CMP");
    EXPECT_NE(western.find("Target File: " + request.targetDir + "caf\xE9.TXT\r\n"),
              std::string::npos);
    const std::string mixed = test::readFile(request.targetDir + "café Ж.CMP");
    EXPECT_NE(mixed.find("Target File: " + request.targetDir + "café Ж.TXT\r\n"),
              std::string::npos);
}

TEST(PlatformCodePages, Utf8IntoACodePageOnlyWhenEveryCharacterIsThere) {
    EXPECT_EQ(codePageFromUtf8("abc é €", 1252), "abc \xE9 \x80");
    EXPECT_EQ(codePageFromUtf8("日本", 932), "\x93\xFA\x96\x7B");
    EXPECT_EQ(codePageFromUtf8("é Ж", 1252), std::nullopt);
    EXPECT_EQ(codePageFromUtf8("\xE9", 1252), std::nullopt);  // not UTF-8
    EXPECT_EQ(codePageFromUtf8("", 1252), "");
}

// Converters are kept between calls: a conversion that stopped inside a character, or in
// another code page, leaves nothing behind for the next.
TEST(PlatformCodePages, EveryConversionStartsAfresh) {
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(codePageFromUtf8("日\xE6\x9C", 932), std::nullopt);
        EXPECT_EQ(codePageFromUtf8("本", 932), "\x96\x7B");
        EXPECT_EQ(utf8FromCodePage("\x93", 932), "\xC2\x93");  // a lead byte alone
        EXPECT_EQ(utf8FromCodePage("\x96\x7B", 932), "本");
        EXPECT_EQ(codePageFromUtf8("é", 1252), "\xE9");
        EXPECT_EQ(utf8FromCodePage("\xE9", 1252), "é");
        EXPECT_EQ(codePageFromUtf8("é", 99999), std::nullopt);  // no such code page
    }
}

// What a name stands for, links followed, and the size only of a regular file.
TEST(PlatformFiles, KindAndSizeOfWhatANameStandsFor) {
    TempDir dir;
    dir.write("a.txt", "12345");
    const std::string file = dir.dir() + "a.txt";
    const std::string directory = dir.dir() + "sub";
    std::filesystem::create_directory(directory);
    EXPECT_EQ(fileKind(file), FileKind::Regular);
    EXPECT_EQ(fileSize(file), 5u);
    EXPECT_EQ(fileKind(directory), FileKind::Directory);
    EXPECT_EQ(fileSize(directory), std::nullopt);
    EXPECT_EQ(fileKind(dir.dir() + "none.txt"), FileKind::Missing);
    EXPECT_EQ(fileSize(dir.dir() + "none.txt"), std::nullopt);
    EXPECT_EQ(fileKind(file + std::string(1, '\0') + "x"), FileKind::Missing);
    EXPECT_EQ(fileSize(file + std::string(1, '\0') + "x"), std::nullopt);
#if !defined(_WIN32)
    std::filesystem::create_symlink(directory, dir.dir() + "link");
    std::filesystem::create_symlink(dir.dir() + "gone", dir.dir() + "dangling");
    EXPECT_EQ(fileKind(dir.dir() + "link"), FileKind::Directory);
    EXPECT_EQ(fileKind(dir.dir() + "dangling"), FileKind::Missing);
    EXPECT_EQ(fileKind("/dev/null"), FileKind::Other);
    EXPECT_EQ(fileSize("/dev/null"), std::nullopt);
#endif
}

TEST(PlatformNames, SlashesAreTakenAndShownAsTheSystemsSeparator) {
    TempDir dir;
    dir.write("tgt/a.txt", brxText(kClean));
    const std::string given = dir.dir() + "tgt/a.txt";
    const FileSelection selection = selectFiles({given}, std::nullopt);
    ASSERT_EQ(selection.files.size(), 1u);
    EXPECT_EQ(selection.files.front(), dir.dir() + "tgt" + kDirSeparator + "a.txt");
    EXPECT_EQ(selection.directory, dir.dir() + "tgt" + kDirSeparator);
    EXPECT_TRUE(sameDirectory(dir.dir() + "tgt/", selection.directory));
}

#if defined(_WIN32)
// Another program's handle on the report, shared only as `sharing` says.
class HeldOpen {
public:
    HeldOpen(const std::string& path, DWORD sharing)
        : handle_(::CreateFileW(test::fsPath(path).c_str(), GENERIC_READ, sharing, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~HeldOpen() {
        if (held()) ::CloseHandle(handle_);
    }
    HeldOpen(const HeldOpen&) = delete;
    HeldOpen& operator=(const HeldOpen&) = delete;

    bool held() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

FileErrorCause causeOfReplacing(const std::string& path) {
    try {
        ReplacingFile file(path);
        file.write("new report");
        file.commit();
    } catch (const FileFailure& failure) {
        return failure.cause;
    }
    return FileErrorCause::None;
}

// Whether it keeps writers out or only keeps the file from being removed, a program that has the
// report open keeps it as it is, and no temporary file is left beside it.
TEST(PlatformFiles, AReportAnotherProgramHoldsOpenIsKept) {
    TempDir dir;
    const std::string report = dir.write("a.CMP", "old report");
    for (const DWORD sharing :
         {DWORD{FILE_SHARE_READ}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        {
            const HeldOpen other(report, sharing);
            ASSERT_TRUE(other.held());
            EXPECT_EQ(causeOfReplacing(report), FileErrorCause::SharingViolation) << sharing;
        }
        EXPECT_EQ(test::readFile(report), "old report");
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            names.push_back(entry.path().filename().string());
        }
        EXPECT_EQ(names, std::vector<std::string>{"a.CMP"});
    }
    // Once it lets go the report is replaced.
    EXPECT_EQ(causeOfReplacing(report), FileErrorCause::None);
    EXPECT_EQ(test::readFile(report), "new report");
}
#endif

#if defined(__linux__)
std::vector<std::string> namesIn(const std::filesystem::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(directory)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A file being written has no name until it is complete, so that a process killed at any
// moment leaves nothing beside the reports.
TEST(PlatformFiles, AFileBeingWrittenHasNoNameUntilItIsComplete) {
    TempDir dir;
    const std::string replaced = dir.write("old.CMP", "old report");
    const std::string fresh = (dir.path() / "new.CMP").string();
    {
        ReplacingFile first(replaced);
        ReplacingFile second(fresh);
        first.write("new report");
        second.write("first report");
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"old.CMP"});
        first.commit();
        second.commit();
    }
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"new.CMP", "old.CMP"}));
    EXPECT_EQ(test::readFile(replaced), "new report");
    EXPECT_EQ(test::readFile(fresh), "first report");
    {
        ReplacingFile dropped(fresh);
        dropped.write("never committed");
    }
    EXPECT_EQ(test::readFile(fresh), "first report");
    EXPECT_EQ(namesIn(dir.path()), (std::vector<std::string>{"new.CMP", "old.CMP"}));
}

// A file that another program shortens while it is read in place: what it lost reads as zeros
// instead of stopping the program, and the mapping tells.
TEST(PlatformFiles, AMappedFileThatShrinksReadsAsZerosAndSaysSo) {
    TempDir dir;
    const std::string path = dir.write("big.txt", std::string(3 * 65536 + 5, 'x'));
    RegularFile file;
    file.open(path);
    const std::shared_ptr<FileMapping> mapping = FileMapping::map(file, 1);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(mapping->size(), 3 * 65536 + 5u);
    EXPECT_EQ(mapping->data()[mapping->size()], '\0');  // the spare byte
    mapping->data()[0] = 'y';                           // written in the view only
    EXPECT_EQ(test::readFile(path)[0], 'x');
    EXPECT_FALSE(mapping->shrunk());

    std::filesystem::resize_file(path, 100);
    volatile const char* bytes = mapping->data();
    EXPECT_EQ(bytes[99], 'x');
    EXPECT_EQ(bytes[2 * 65536], '\0');
    EXPECT_TRUE(mapping->shrunk());
}

// Pages let go behind a reader come from the file again, should they be read once more.
TEST(PlatformFiles, DroppedPagesOfAMappedFileReadAsTheFile) {
    TempDir dir;
    std::string bytes(3 * 65536 + 5, 'x');
    for (std::size_t i = 0; i < bytes.size(); i += 7) bytes[i] = static_cast<char>('a' + i % 26);
    const std::string path = dir.write("big.txt", bytes);
    RegularFile file;
    file.open(path);
    const std::shared_ptr<FileMapping> mapping = FileMapping::map(file, 0);
    ASSERT_NE(mapping, nullptr);
    EXPECT_EQ(std::string_view(mapping->data(), mapping->size()), bytes);
    mapping->dropPagesBefore(2 * 65536 + 100);
    mapping->dropPagesBefore(bytes.size() + 4096);  // past the end: the whole file
    EXPECT_EQ(std::string_view(mapping->data(), mapping->size()), bytes);
    EXPECT_FALSE(mapping->shrunk());
}
#endif

}  // namespace
}  // namespace brevo
