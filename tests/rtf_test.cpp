#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "base/file_failure.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "brx/rtf_reader.h"
#include "report/line_writer.h"
#include "report/report_file.h"
#include "report/rtf_report_file.h"
#include "verify/pair_outcome.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

const std::string kDataDir = std::string(BREVO_TEST_DATA) + "/rtf/";

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

Lines splitLines(const std::string& text) {
    Lines lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty()) lines.push_back(line);
    return lines;
}

class RtfFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("brevo_rtf_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::string write(const std::string& bytes, const std::string& name = "in.rtf") {
        std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }

    Lines decode(const std::string& bytes) {
        Lines lines;
        readRtfLines(write(bytes), lines);
        return lines;
    }

    // The status the decoder fails with, or Completed when it does not fail.
    VerifyStatus decodeStatus(const std::string& bytes) {
        try {
            decode(bytes);
        } catch (const BrxFailure& failure) {
            return statusOf(failure.error);
        }
        return VerifyStatus::Completed;
    }

    std::filesystem::path dir_;
};

// ---------------------------------------------------------------------------------------------
// Reader

TEST_F(RtfFileTest, StyledTagsAndFormattingLeaveOnlyText) {
    EXPECT_EQ(decode("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\n{\\cs5 <page \"1\">}Text\\par }"),
              Lines{"<page \"1\">Text"});
    EXPECT_EQ(decode("{\\rtf1 a\\par\\par b}"), (Lines{"a", "", "b"}));
    EXPECT_EQ(decode("{\\rtf1 \\par}"), Lines{""});
    EXPECT_EQ(decode("{\\rtf1 tail}"), Lines{"tail"});
    EXPECT_EQ(decode("{\\rtf1 }"), Lines{});
    // Text outside every group is text too; NUL is an ordinary byte.
    EXPECT_EQ(decode(std::string("{\\rtf1 a}b\0c", 12)), Lines{std::string("ab\0c", 4)});
}

TEST_F(RtfFileTest, CharacterControlWordsAndSymbols) {
    EXPECT_EQ(
        decode("{\\rtf1 \\tab|\\lquote\\rquote\\ldblquote\\rdblquote\\bullet\\endash\\emdash}"),
        Lines{"\t|\x91\x92\x93\x94\x95\x96\x97"});
    // A control symbol takes no delimiter: the blank after "\~" is text.
    EXPECT_EQ(decode("{\\rtf1 a\\~ b\\_c\\{\\}\\\\}"), Lines{"a  b-c{}\\"});
    // Other words and symbols go with their parameters.
    EXPECT_EQ(decode("{\\rtf1\\ansi\\f1\\fs20\\cs5\\line\\-\\u233 x\\rtf-12 y}"), Lines{"xy"});
}

TEST_F(RtfFileTest, ControlWordDelimiters) {
    // Only a blank is consumed; a tab byte or any other byte stays text.
    EXPECT_EQ(decode("{\\rtf1 a\\foo\tb\\foo;c\\foo  d}"), Lines{"a\tb;c d"});
    // A minus without digits is swallowed; the word then has no parameter.
    EXPECT_EQ(decode("{\\rtf1 \\foo-x\\foo- y}"), Lines{"xy"});
    // Letters are ASCII only: a high byte after "\" is a control symbol.
    EXPECT_EQ(decode("{\\rtf1 a\\\xe9"
                     "b}"),
              Lines{"ab"});
    // A word ends at the first byte that is no letter, whatever its neighbours in ASCII, also
    // where many bytes follow.
    EXPECT_EQ(decode("{\\rtf1 \\az`a\\AZ[b\\Za@c\\zA\xc1"
                     "d\\ab{}e\\abcdefghijklmnopqrstuvwxyz{}f}"),
              Lines{"`a[b@c\xc1"
                    "def"});
    // Words have no length limit.
    EXPECT_EQ(decode("{\\rtf1 \\" + std::string(300, 'q') + "12345678 z}"), Lines{"z"});
    // Lookup is case-sensitive.
    EXPECT_EQ(decode("{\\rtf1 a\\PAR b}"), Lines{"ab"});
}

TEST_F(RtfFileTest, LineBreaksVanishFromTheStream) {
    EXPECT_EQ(decode("{\\rtf1 ab\ncd\r\nef}"), Lines{"abcdef"});
    // A word at the end of a line runs on into the next line's letters.
    EXPECT_EQ(decode("{\\rtf1 abc\\par\ndef\\par ghi}"), (Lines{"abc", "ghi"}));
    EXPECT_EQ(decode("{\\rtf1 abc\\pa\r\nr def}"), (Lines{"abc", "def"}));
    EXPECT_EQ(decode("{\\rtf1 \\bin\n2 {}}"), Lines{"{}"});
}

TEST_F(RtfFileTest, HexadecimalBytes) {
    EXPECT_EQ(decode("{\\rtf1 caf\\'e9\\'C4\\'00!}"), Lines{"caf\xe9\xc4!"});
    EXPECT_EQ(decode("{\\rtf1 \\'4{}1}"), Lines{"A"});
    EXPECT_EQ(decode("{\\rtf1 \\'4\\'12}"), Lines{"A2"});
    EXPECT_EQ(decode("{\\rtf1 \\'4\n1}"), Lines{"A"});
    EXPECT_EQ(decode("{\\rtf1 x}\\'4"), Lines{"x"});
    EXPECT_EQ(decode("{\\rtf1 x}\\'"), Lines{"x"});
    EXPECT_EQ(decodeStatus("{\\rtf1 \\'4g}"), VerifyStatus::RtfBadHexDigit);
    EXPECT_EQ(decodeStatus("{\\rtf1 \\' 4}"), VerifyStatus::RtfBadHexDigit);
}

TEST_F(RtfFileTest, LineFeedByteEndsALineEvenWhenHidden) {
    EXPECT_EQ(decode("{\\rtf1 a\\'0ab}"), (Lines{"a", "b"}));
    EXPECT_EQ(decode("{\\rtf1\\v a\\'0ab\\par c\\v0 d}"), (Lines{"", "", "d"}));
    EXPECT_EQ(decode("{\\rtf1 {\\*\\x \\'0a\\par}e}"), Lines{"e"});
}

TEST_F(RtfFileTest, HiddenText) {
    EXPECT_EQ(decode("{\\rtf1 \\v abc\\v0 xyz}"), Lines{"xyz"});
    EXPECT_EQ(decode("{\\rtf1 \\v-1 a\\v0 b\\v7 c\\plain d}"), Lines{"bd"});
    EXPECT_EQ(decode("{\\rtf1 {\\*\\v text} more}"), Lines{" more"});
    EXPECT_EQ(decode("{\\rtf1 a{\\v b}c}"), Lines{"ac"});
    EXPECT_EQ(decode("{\\rtf1 \\v a{\\plain b}c}"), Lines{"b"});
}

TEST_F(RtfFileTest, SkippedDestinations) {
    EXPECT_EQ(decode("{\\rtf1 {\\*\\unknownword text}after}"), Lines{"after"});
    EXPECT_EQ(decode("{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0;}{\\stylesheet{\\s0 "
                     "Normal;}}{\\info{\\title T}}{\\header H}{\\xe I}body}"),
              Lines{"body"});
    // "private1" reads as "private" with a parameter, so its group is text.
    EXPECT_EQ(decode("{\\rtf1 {\\private1 x}}"), Lines{"x"});
    // "\*" stays set until the next control word, across group ends.
    EXPECT_EQ(decode("{\\rtf1 {\\*}\\unknown x}"), Lines{});
    EXPECT_EQ(decode("{\\rtf1 {\\*\\par x}}"), (Lines{"", "x"}));
    // Inside a skipped group "\*" and "\'" do nothing.
    EXPECT_EQ(decode("{\\rtf1 {\\fonttbl\\*}\\unknown x}"), Lines{"x"});
    EXPECT_EQ(decode("{\\rtf1 {\\*\\foo \\'zz}ok}"), Lines{"ok"});
}

TEST_F(RtfFileTest, BinaryData) {
    EXPECT_EQ(decode("{\\rtf1 \\bin3 {\\}}"), Lines{"{\\}"});
    EXPECT_EQ(decode("{\\rtf1 \\bin-2 {}}"), Lines{"{}"});
    // "\bin0" still takes one byte.
    EXPECT_EQ(decode("{\\rtf1 \\bin0{}"), Lines{"{"});
    // A bare "\bin" reuses the last number seen.
    EXPECT_EQ(decode("{\\rtf1\\f2\\bin {}}"), Lines{"{}"});
    // "\bin" acts in a skipped group too.
    EXPECT_EQ(decode("{\\rtf1{\\fonttbl\\bin2 }}}x}"), Lines{"x"});
}

TEST_F(RtfFileTest, NumbersSaturateInsteadOfWrapping) {
    // 2^32 + 1 would wrap to 1 and leave "}" for an extra group end.
    EXPECT_EQ(decodeStatus("{\\rtf1 \\bin4294967297 {}}"), VerifyStatus::RtfOpenGroups);
    // 2^32 would wrap to 0 and show the text.
    EXPECT_EQ(decode("{\\rtf1 \\v4294967296 a\\v-99999999999999999999 b\\v0 c}"), Lines{"c"});
}

TEST_F(RtfFileTest, FirstLineChecks) {
    EXPECT_EQ(decodeStatus(""), VerifyStatus::RtfUnexpectedEnd);
    // Line breaks alone make no line at all.
    EXPECT_EQ(decodeStatus("\r\n\r\n"), VerifyStatus::RtfUnexpectedEnd);
    EXPECT_EQ(decodeStatus("\n{\\rtf1 x}"), VerifyStatus::NotRtf);
    EXPECT_EQ(decodeStatus("{\\rt"), VerifyStatus::NotRtf);
    EXPECT_EQ(decodeStatus("{\\rt\nf1 x}"), VerifyStatus::NotRtf);
    EXPECT_EQ(decodeStatus("{\\RTF1 x}"), VerifyStatus::NotRtf);
    EXPECT_EQ(decodeStatus("<brx \"I2.00\">"), VerifyStatus::NotRtf);
    EXPECT_EQ(decode("{\\rtf}"), Lines{});
    EXPECT_EQ(decodeStatus("{\\rtf"), VerifyStatus::RtfUnexpectedEnd);
}

TEST_F(RtfFileTest, StructuralFailures) {
    EXPECT_EQ(decodeStatus("{\\rtf1 abc"), VerifyStatus::RtfOpenGroups);
    EXPECT_EQ(decodeStatus("{\\rtf1 {abc}"), VerifyStatus::RtfOpenGroups);
    EXPECT_EQ(decodeStatus("{\\rtf1 a}}"), VerifyStatus::RtfUnmatchedBrace);
    EXPECT_EQ(decodeStatus("{\\rtf1 a}}{"), VerifyStatus::RtfUnmatchedBrace);
    // Ending inside a control word, at any point of it.
    for (const char* ending : {"\\", "\\par", "\\li-", "\\li12", "\\li-3", "\\\n"}) {
        EXPECT_EQ(decodeStatus(std::string("{\\rtf1 a}") + ending), VerifyStatus::RtfUnexpectedEnd)
            << ending;
    }
    // A symbol or a delimited word at the very end is complete.
    EXPECT_EQ(decode("{\\rtf1 a}\\~"), Lines{"a "});
    EXPECT_EQ(decode("{\\rtf1 a}\\par "), Lines{"a"});
}

TEST_F(RtfFileTest, FailureLeavesTheCallersLinesAlone) {
    Lines lines{"keep"};
    EXPECT_THROW(readRtfLines(write("{\\rtf1 good\\par bad"), lines), BrxFailure);
    EXPECT_EQ(lines, Lines{"keep"});
    readRtfLines(write("{\\rtf1 one\\par two}"), lines);
    EXPECT_EQ(lines, (Lines{"keep", "one", "two"}));
    EXPECT_THROW(readRtfLines((dir_ / "missing.rtf").string(), lines), FileFailure);
}

TEST_F(RtfFileTest, LongLinesAcrossReadBlocks) {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += static_cast<char>('a' + i % 26);
    std::string rtf = "{\\rtf1\\ansi \n";
    for (std::size_t i = 0; i < text.size(); i += 70) rtf += text.substr(i, 70) + "\r\n";
    rtf += "\\par\n\\'e9}";
    EXPECT_EQ(decode(rtf), (Lines{text, "\xe9"}));
}

// ---------------------------------------------------------------------------------------------
// Files saved by a word processor

TEST_F(RtfFileTest, WordProcessorFileGivesTheLinesOfItsTextForm) {
    Lines lines;
    readRtfLines(kDataDir + "plain.rtf", lines);
    EXPECT_EQ(lines, splitLines(readBytes(kDataDir + "plain.txt")));
}

// A file of a megabyte or more is read in place rather than copied; it gives the same lines.
TEST_F(RtfFileTest, LargeFilesReadInPlaceGiveTheSameLines) {
    Lines expected;
    std::string rtf = "{\\rtf1\\ansi\r\n";
    for (int i = 0; rtf.size() < (std::size_t{3} << 19); ++i) {
        const std::string text = " line " + std::to_string(i) + " caf";
        rtf +=
            "{\\cs5\\f1 <ps \"Body\">}" + text + "\\'e9\\pa" + (i % 7 == 0 ? "\r\n" : "") + "r\r\n";
        expected.push_back("<ps \"Body\">" + text + "\xe9");
    }
    rtf += "}";
    EXPECT_EQ(decode(rtf), expected);
}

#if defined(__linux__)
// Shortened by another program while read in place, a file reads as zeros from there on:
// whether they break its RTF or not, the reading fails as the file's fault. (Where files are
// not mapped, such as on Windows, they are read whole at once.)
TEST_F(RtfFileTest, AFileShortenedWhileReadInPlaceIsAFileError) {
    for (const std::string start : {"{\\rtf1 ", "{\\rtf1 x}"}) {
        std::string rtf = start;
        while (rtf.size() < (std::size_t{2} << 20)) rtf += "text\\par \r\n";
        if (start.back() == ' ') rtf += "}";
        const std::string path = write(rtf);
        bool shortened = false;
        try {
            readRtfLines(path, [&](std::string_view) {
                if (!shortened) std::filesystem::resize_file(path, std::size_t{64} << 10);
                shortened = true;
            });
            ADD_FAILURE() << "no failure for " << start;
        } catch (const FileFailure& failure) {
            EXPECT_EQ(failure.cause, FileErrorCause::EndOfFile) << start;
        }
    }
}
#endif

TEST_F(RtfFileTest, WhereLinesBreakDoesNotMatter) {
    const std::string original = readBytes(kDataDir + "plain.rtf");
    Lines expected;
    readRtfLines(kDataDir + "plain.rtf", expected);
    std::string joined;
    for (char c : original) {
        if (c != '\n' && c != '\r') joined += c;
    }
    for (std::size_t width : {7u, 64u, 255u}) {
        std::string rewrapped = joined.substr(0, 8) + "\r\n";
        for (std::size_t i = 8; i < joined.size(); i += width) {
            rewrapped += joined.substr(i, width) + "\r\n";
        }
        EXPECT_EQ(decode(rewrapped), expected) << width;
    }
}

// The word processor breaks its lines between a run's last control word and the run's text.
// As line breaks are no part of the stream, a run that starts with a letter merges into that
// word and is lost, and a leading blank is taken as the word's delimiter; runs that start with
// "<" or another non-letter survive. Tags and visible text outside those runs come through,
// hidden text does not.
TEST_F(RtfFileTest, StyledWordProcessorFileKeepsTagsAndDropsHiddenText) {
    Lines lines;
    readRtfLines(kDataDir + "styled.rtf", lines);
    const Lines text = splitLines(readBytes(kDataDir + "styled.txt"));
    ASSERT_EQ(lines.size(), text.size());
    for (std::size_t i : {0u, 1u, 2u, 3u, 7u}) EXPECT_EQ(lines[i], text[i]);
    EXPECT_EQ(lines[4], "<page \"2\"><:b><:/b>estl\xe0.");
    EXPECT_EQ(lines[5], "<fn 1>et \tfin { } \\");
    EXPECT_EQ(lines[6],
              "<imk \"idx\">\x93"
              "cit\xe9\x94 \x96 ok");
}

TEST_F(RtfFileTest, BrxFileLoadsThroughTheRtfReader) {
    LanguageSettings languages;
    Lines lines;
    detail::readBrxFile(kDataDir + "plain.rtf", FileFormat::Rtf, languages, lines);
    EXPECT_EQ(languages.sourceLanguage, "German");
    EXPECT_EQ(lines, splitLines(readBytes(kDataDir + "plain.txt")));

    Lines asText;
    try {
        detail::readBrxFile(kDataDir + "plain.rtf", FileFormat::Text, languages, asText);
        FAIL() << "an RTF file read as text is no BRX file";
    } catch (const BrxFailure& failure) {
        EXPECT_EQ(failure.error, BrxError::NotBrx);
    }
}

// ---------------------------------------------------------------------------------------------
// Report writer

const std::string kRtfStart = "{\\rtf1\\ansi\\deff3\\deflang1024 \n{\\fonttbl \n";

const std::string kWesternFonts =
    "{\\f1 \\fmodern\\fcharset0\\fprq1 Courier New;}\n"
    "{\\f2 \\fswiss\\fcharset0\\fprq2 Arial;}\n"
    "{\\f3 \\froman\\fcharset0\\fprq2 Times New Roman;}";

const std::string kColoursAndStyles =
    "{\\colortbl \\red0\\green0\\blue0;\\red0\\green0\\blue0;\\red0\\green0\\blue255;"
    "\\red0\\green255\\blue255;\\red0\\green255\\blue0;\n"
    "\\red255\\green0\\blue255;\\red255\\green0\\blue0;\\red255\\green255\\blue0;"
    "\\red255\\green255\\blue255;\\red0\\green0\\blue128;\n"
    "\\red0\\green128\\blue128;\\red0\\green128\\blue0;\\red128\\green0\\blue128;"
    "\\red128\\green0\\blue0;\\red128\\green128\\blue0;\n"
    "\\red128\\green128\\blue128;\\red192\\green192\\blue192;}\n"
    "{\\stylesheet \n"
    "{\\s0 \\sb0\\slmult1\\widctlpar\\fs20\\f3 \\snext0 Normal;}\n"
    "{\\cs1 \\additive \\v\\cf12\\sub\\f1 pv4wrtMark;}\n"
    "{\\cs2 \\cf4\\fs40\\f1 pv4wrtError;}\n"
    "{\\cs3 \\f1\\cf11 pv4wrtPopup;}\n"
    "{\\cs4 \\f1\\cf10 pv4wrtJump;}\n"
    "{\\cs5 \\additive \\cf15\\f1\\lang1024 pv4wrtExternal;}\n"
    "{\\cs6 \\additive \\cf6\\f1\\lang1024 pv4wrtInternal;}\n"
    "{\\cs7 \\cf2 pv4wrtTerm;}\n"
    "{\\cs8 \\additive Default Paragraph Font;}}\n";

const std::string kA4Portrait =
    "\\paperw11907\\paperh16840\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f3 \n";

// The font table from "{\fonttbl" up to the colour table.
std::string fontTableOf(const std::string& report) {
    const std::size_t begin = report.find("{\\fonttbl \n");
    const std::size_t end = report.find("{\\colortbl ");
    return report.substr(begin, end - begin);
}

TEST(RtfReportTest, WholeReportForEqualWesternCodePages) {
    const ReportLog::Lines lines{"\\pard\\plain first", "second\n\\par x"};
    EXPECT_EQ(
        detail::buildRtfReport(lines, RtfLayout{PageSize::A4, Orientation::Portrait, 1252, 1252}),
        kRtfStart + kWesternFonts + "}\n" + kColoursAndStyles + kA4Portrait +
            "\\pard\\plain first\n\\par second\n\\par x\n}");
    EXPECT_EQ(
        detail::buildRtfReport({}, RtfLayout{PageSize::A4, Orientation::Portrait, 1252, 1252}),
        kRtfStart + kWesternFonts + "}\n" + kColoursAndStyles + kA4Portrait + "}");
}

TEST(RtfReportTest, PageSizes) {
    const std::string opening = "\\pard\\plain\\s0\\sb0\\slmult1\\widctlpar\\fs20\\f3 \n}";
    auto tail = [](bool isA4, bool portrait) {
        std::string report = detail::buildRtfReport(
            {}, RtfLayout{isA4 ? PageSize::A4 : PageSize::Letter,
                          portrait ? Orientation::Portrait : Orientation::Landscape, 1252, 1252});
        return report.substr(report.find("\\paperw"));
    };
    EXPECT_EQ(tail(true, true), "\\paperw11907\\paperh16840" + opening);
    EXPECT_EQ(tail(true, false), "\\paperw16840\\paperh11907\\landscape" + opening);
    EXPECT_EQ(tail(false, true), "\\paperw12242\\paperh15842" + opening);
    EXPECT_EQ(tail(false, false), "\\paperw15842\\paperh12242\\landscape" + opening);
}

TEST(RtfReportTest, FontTablesByCodePage) {
    auto fonts = [](int source, int target) {
        return fontTableOf(detail::buildRtfReport(
            {}, RtfLayout{PageSize::A4, Orientation::Portrait, source, target}));
    };
    const std::string mincho =
        "{\\f4 \\froman\\fcharset128\\fprq1 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}}\n";
    EXPECT_EQ(fonts(1252, 932), "{\\fonttbl \n" + kWesternFonts + "\n" + mincho);
    EXPECT_EQ(fonts(932, 932),
              "{\\fonttbl \n"
              "{\\f1 \\fmodern\\fcharset128\\fprq2 \\'82\\'6c\\'82\\'72 "
              "\\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}\n"
              "{\\f2 \\fmodern\\fcharset128\\fprq1 \\'82\\'6c\\'82\\'72 "
              "\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}\n"
              "{\\f3 \\froman\\fcharset128\\fprq1 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}\n"
              "}\n");
    EXPECT_EQ(fonts(932, 1252).substr(fonts(932, 1252).find("a9;}\n\n")),
              "a9;}\n\n{\\f4 \\froman\\fcharset0\\fprq2 Times New Roman;}}\n");
    EXPECT_EQ(fonts(1250, 1251),
              "{\\fonttbl \n"
              "{\\f1 \\fmodern\\fcharset238\\fprq1 Courier New CE;}\n"
              "{\\f2 \\fswiss\\fcharset238\\fprq2 Arial CE;}\n"
              "{\\f3 \\froman\\fcharset238\\fprq2 Times New Roman CE;}\n"
              "{\\f4 \\froman\\fcharset204\\fprq2 Times New Roman CYR;}}\n");
    EXPECT_EQ(fonts(1257, 1253),
              "{\\fonttbl \n"
              "{\\f1 \\fmodern\\fcharset186\\fprq1 Courier New Baltic;}\n"
              "{\\f2 \\fswiss\\fcharset186\\fprq2 Arial Baltic;}\n"
              "{\\f3 \\froman\\fcharset186\\fprq2 Times New Roman Baltic;}\n"
              "{\\f4 \\froman\\fcharset161\\fprq2 Times New Roman Greek;}}\n");
    EXPECT_EQ(fonts(1254, 949),
              "{\\fonttbl \n"
              "{\\f1 \\fmodern\\fcharset162\\fprq1 Courier New TUR;}\n"
              "{\\f2 \\fswiss\\fcharset162\\fprq2 Arial TUR;}\n"
              "{\\f3 \\froman\\fcharset162\\fprq2 Times New Roman TUR;}\n"
              "{\\f4 \\fmodern\\fcharset129\\fprq2 \\'b1\\'bc\\'b8\\'b2;}}\n");
    EXPECT_EQ(
        fonts(1251, 950).substr(fonts(1251, 950).find("CYR;}\n{\\f4")),
        "CYR;}\n{\\f4 \\fnil\\fcharset136\\fprq2 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}}\n");
    // Code pages without fonts of their own.
    EXPECT_EQ(fonts(1255, 1255), "{\\fonttbl \n}\n");
    EXPECT_EQ(fonts(1255, 874),
              "{\\fonttbl \n\n{\\f4 \\froman\\fcharset0\\fprq2 Times New Roman;}}\n");
}

TEST(RtfReportTest, ChineseAndKoreanSourcesDefineTheirFonts) {
    auto fonts = [](int source, int target) {
        return fontTableOf(detail::buildRtfReport(
            {}, RtfLayout{PageSize::A4, Orientation::Portrait, source, target}));
    };
    const std::string simplified = "\\fnil\\fcharset134\\fprq2 \\'cb\\'ce\\'cc\\'e5;}";
    EXPECT_EQ(fonts(936, 936), "{\\fonttbl \n{\\f1 " + simplified + "\n{\\f2 " + simplified +
                                   "\n{\\f3 " + simplified + "}\n");
    EXPECT_EQ(fonts(936, 1252), "{\\fonttbl \n{\\f1 " + simplified + "\n{\\f2 " + simplified +
                                    "\n{\\f3 " + simplified +
                                    "\n{\\f4 \\froman\\fcharset0\\fprq2 Times New Roman;}}\n");
    const std::string korean = "\\fmodern\\fcharset129\\fprq2 \\'b1\\'bc\\'b8\\'b2;}";
    EXPECT_EQ(fonts(949, 949),
              "{\\fonttbl \n{\\f1 " + korean + "\n{\\f2 " + korean + "\n{\\f3 " + korean + "}\n");
    const std::string traditional =
        "\\fnil\\fcharset136\\fprq2 \\'b7\\'73\\'b2\\'d3\\'a9\\'fa\\'c5\\'e9;}";
    EXPECT_EQ(fonts(950, 932), "{\\fonttbl \n{\\f1 " + traditional + "\n{\\f2 " + traditional +
                                   "\n{\\f3 " + traditional + "\n" +
                                   "{\\f4 \\froman\\fcharset128\\fprq1 \\'82\\'6c\\'82\\'72 "
                                   "\\'96\\'be\\'92\\'a9;}}\n");
}

class RtfReportFileTest : public RtfFileTest {};

TEST_F(RtfReportFileTest, WrittenReportReplacesTheFileAndReadsBackAsItsLines) {
    const std::string path = write(std::string(10000, 'x'), "REPORT.CMP");
    const Lines text{
        "[1] ERROR! Tag <fn 3> differs: {a} \\ b\tc", "+++++++++++++ Text Segment +++++++++++++",
        "Caf\xe9 <:b>x<:/b> <:c>\x82\xa0<:/c>", "++++++++++++++++++++++++++++++++++++++++\n"};
    ReportLog::Lines encoded;
    encoded.push_back(
        detail::encodeRtfLine(text[0], Marking::Tags, ParagraphStyle::Report, 1252, 932));
    encoded.push_back(
        detail::encodeRtfLine(text[1], Marking::Plain, ParagraphStyle::Report, 1252, 932));
    encoded.push_back(
        detail::encodeRtfLine(text[2], Marking::Tags, ParagraphStyle::Target, 1252, 932));
    encoded.push_back(
        detail::encodeRtfLine(text[3], Marking::Plain, ParagraphStyle::Report, 1252, 932));
    detail::writeRtfReport(path, encoded,
                           RtfLayout{PageSize::Letter, Orientation::Portrait, 1252, 932});

    EXPECT_EQ(readBytes(path),
              detail::buildRtfReport(
                  encoded, RtfLayout{PageSize::Letter, Orientation::Portrait, 1252, 932}));
    Lines decoded;
    readRtfLines(path, decoded);
    EXPECT_EQ(decoded, (Lines{text[0], text[1], text[2], std::string(40, '+')}));

    EXPECT_THROW(detail::writeRtfReport((dir_ / "no" / "dir.CMP").string(), encoded, RtfLayout{}),
                 FileFailure);
}

}  // namespace
}  // namespace brevo
