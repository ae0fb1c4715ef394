#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "base/file_failure.h"
#include "base/path_lookup.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "brx/language_table.h"
#include "brx/line_reader.h"
#include "brx/tag_vocabulary.h"
#include "test_support.h"
#include "verify/pair_outcome.h"

namespace brevo {
namespace {

using test::TempDir;

std::vector<std::string> readLines(const std::string& path) {
    LineReader reader;
    reader.open(path);
    std::vector<std::string> lines;
    std::string line;
    while (reader.readLine(line)) lines.push_back(line);
    return lines;
}

std::vector<std::string> linesOf(std::string_view bytes) {
    TempDir dir;
    return readLines(dir.write("f.txt", bytes));
}

using Lines = std::vector<std::string>;

TEST(LineReader, AnyRunOfLineBreaksIsOneBreak) {
    EXPECT_EQ(linesOf("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(linesOf("a\r\n\r\n\n\rb\n\n"), (Lines{"a", "b"}));
    EXPECT_EQ(linesOf("\n\nx"), (Lines{"", "x"}));
    EXPECT_EQ(linesOf(""), Lines{});
    EXPECT_EQ(linesOf("\r\n"), Lines{});
}

TEST(LineReader, KeepsNulAndHighBytes) {
    std::string bytes("a\0b\xe9\xff\n", 6);
    Lines lines = linesOf(bytes);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], std::string("a\0b\xe9\xff", 5));
}

TEST(LineReader, LinesAcrossBlockBoundaries) {
    // A file of exactly one block, and lines and breaks that straddle block edges.
    std::string exact(LineReader::kBlockSize - 1, 'x');
    exact += '\n';
    EXPECT_EQ(linesOf(exact), (Lines{std::string(LineReader::kBlockSize - 1, 'x')}));

    std::string straddle(LineReader::kBlockSize - 1, 'y');
    straddle += "\r\nz";
    EXPECT_EQ(linesOf(straddle), (Lines{std::string(LineReader::kBlockSize - 1, 'y'), "z"}));

    std::string longLine(3 * LineReader::kBlockSize + 17, 'q');
    EXPECT_EQ(linesOf(longLine + "\nr"), (Lines{longLine, "r"}));
}

TEST(LineReader, OpenFailuresCarryTheirCause) {
    TempDir dir;
    auto causeOf = [](const std::string& path) {
        try {
            readLines(path);
        } catch (const FileFailure& failure) {
            EXPECT_EQ(failure.fileName, path);
            return failure.cause;
        }
        return FileErrorCause::None;
    };
    EXPECT_EQ(causeOf(dir.dir() + "missing.txt"), FileErrorCause::NotFound);
    EXPECT_EQ(causeOf(dir.path().string()), FileErrorCause::AccessDenied);  // a directory
    std::string file = dir.write("plain.txt", "x");
    EXPECT_EQ(causeOf(file + "/below"), FileErrorCause::BadPath);
}

VerifyStatus headerStatus(const Lines& lines) {
    LanguageSettings languages;
    try {
        detail::validateHeader(lines, languages);
    } catch (const BrxFailure& failure) {
        return statusOf(failure.error);
    }
    return VerifyStatus::Completed;
}

TEST(Header, FirstLineDecidesTheKindOfFile) {
    const Lines rest = {"<language \"German\">", "<quotes \"As text\">",
                        "<readonly \"Translate\">"};
    auto withFirst = [&](std::string first) {
        Lines lines{std::move(first)};
        lines.insert(lines.end(), rest.begin(), rest.end());
        return headerStatus(lines);
    };
    EXPECT_EQ(withFirst("<brx \"I2.00\">"), VerifyStatus::Completed);
    EXPECT_EQ(withFirst("<brx \"I2.00\"> extra"), VerifyStatus::Completed);
    EXPECT_EQ(withFirst("<brx \"I2.01\">"), VerifyStatus::NewerVersion);
    EXPECT_EQ(withFirst("<brx \"F2.00\">"), VerifyStatus::FrameMakerFile);
    EXPECT_EQ(withFirst("<tf>"), VerifyStatus::FrameMakerFile);
    EXPECT_EQ(withFirst("<tfi>"), VerifyStatus::NotBrx);
    EXPECT_EQ(withFirst(""), VerifyStatus::NotBrx);
}

TEST(Header, EachLineInTurn) {
    const std::string first = "<brx \"I2.00\">";
    EXPECT_EQ(headerStatus({}), VerifyStatus::UnexpectedEnd);
    EXPECT_EQ(headerStatus({first}), VerifyStatus::UnexpectedEnd);
    EXPECT_EQ(headerStatus({first, "<language \"\">"}), VerifyStatus::InvalidLanguage);
    EXPECT_EQ(headerStatus({first, "<language \"x"}), VerifyStatus::MissingLanguage);
    EXPECT_EQ(headerStatus({first, "<lang \"German\">"}), VerifyStatus::MissingLanguage);
    EXPECT_EQ(headerStatus({first, "<language \"Klingon\">"}), VerifyStatus::InvalidLanguage);
    EXPECT_EQ(headerStatus({first, "<language \"German\">"}), VerifyStatus::UnexpectedEnd);
    EXPECT_EQ(headerStatus({first, "<language \"German\">", "<quotes \"as text\">"}),
              VerifyStatus::MissingQuotes);
    EXPECT_EQ(headerStatus({first, "<language \"German\">", "<quotes \"As text\"> "}),
              VerifyStatus::MissingQuotes);
    EXPECT_EQ(headerStatus({first, "<language \"German\">", "<charset \"x\">"}),
              VerifyStatus::MissingQuotes);
    EXPECT_EQ(headerStatus({first, "<language \"German\">", "<quotes \"As tags\">"}),
              VerifyStatus::UnexpectedEnd);
    EXPECT_EQ(headerStatus({first, "<language \"German\">", "<quotes \"As tags\">",
                            "<readonly \"Dont translate\">"}),
              VerifyStatus::MissingReadOnly);
    EXPECT_EQ(headerStatus({first, "<language \"German\">", "<quotes \"As tags\">",
                            "<readonly \"Don't translate\">"}),
              VerifyStatus::Completed);
}

TEST(Header, LanguageNameLosesItsLastTwoCharactersWhateverTheyAre) {
    LanguageSettings languages;
    detail::validateHeader({"<brx \"I2.00\">", "<language \"Russianxy", "<quotes \"As text\">",
                            "<readonly \"Translate\">"},
                           languages);
    EXPECT_EQ(languages.sourceLanguage, "Russian");
    EXPECT_EQ(languages.sourceCodePage, 1251);
}

TEST(Languages, TableAndJapaneseFamily) {
    EXPECT_EQ(codePageOf("Japanese"), 932);
    EXPECT_EQ(codePageOf("Japanese (Shift-JIS)"), 932);
    EXPECT_EQ(codePageOf("japanese"), 0);
    EXPECT_EQ(codePageOf("English (US)"), 1252);
    EXPECT_EQ(codePageOf("Russian"), 1251);
    EXPECT_EQ(codePageOf("Greek"), 1253);
    EXPECT_EQ(codePageOf("Korean"), 949);
    EXPECT_EQ(codePageOf("Lithuanian"), 1257);
    EXPECT_EQ(codePageOf("Turkish"), 1254);
    EXPECT_EQ(codePageOf("Czech"), 1250);
}

TEST(Languages, UnknownNameLeavesEverythingAsItWas) {
    LanguageSettings languages;
    ASSERT_TRUE(setSourceLanguage(languages, "Greek"));
    EXPECT_FALSE(setSourceLanguage(languages, "Elvish"));
    EXPECT_EQ(languages.sourceLanguage, "Greek");
    EXPECT_EQ(languages.sourceCodePage, 1253);
    setTargetLanguage(languages, "Polish");
    setTargetLanguage(languages, "Elvish");
    EXPECT_EQ(languages.targetLanguage, "Polish");
    EXPECT_EQ(languages.targetCodePage, 1250);
}

TEST(Loading, TargetHeaderLeavesItsCodePage) {
    TempDir dir;
    LanguageSettings languages;
    Lines lines;
    detail::readBrxFile(dir.write("s.txt", test::brxText("</brx>\n", "German")), FileFormat::Text,
                        languages, lines);
    lines.clear();
    detail::readBrxFile(dir.write("t.txt", test::brxText("</brx>\n", "Russian")), FileFormat::Text,
                        languages, lines);
    EXPECT_EQ(languages.sourceCodePage, 1251);
}

struct Cut {
    std::string tag;
    std::string text;
    bool operator==(const Cut&) const = default;
};

std::vector<Cut> cuts(const Lines& lines) {
    std::vector<Cut> result;
    for (const Segment& segment : test::segmentsOf(lines)) {
        EXPECT_EQ(segment.id, 123);
        result.push_back({std::string(segment.tagText()), std::string(segment.text)});
    }
    return result;
}

TEST(Segmentation, OneSegmentPerExternalTag) {
    EXPECT_EQ(cuts({"<page \"1\">Hello <:b>world<:/b>", "<tb \"x\">"}),
              (std::vector<Cut>{{"<page \"1\">", "<page \"1\">Hello <:b>world<:/b>\n"},
                                {"<tb \"x\">", "<tb \"x\">\n"}}));
    EXPECT_EQ(cuts({"<page \"1\">Hello <:b>world<:/b><tb \"x\">"}),
              (std::vector<Cut>{{"<page \"1\">", "<page \"1\">Hello <:b>world<:/b>"},
                                {"<tb \"x\">", "<tb \"x\">\n"}}));
}

TEST(Segmentation, ExternalTagInsideAValueLeavesATaglessSegment) {
    EXPECT_EQ(cuts({"<a>x<fn \"<page>\">y"}),
              (std::vector<Cut>{{"<a>", "<a>x"}, {"", "<fn \""}, {"<page>", "<page>\">y\n"}}));
}

TEST(Segmentation, TextBeforeTheFirstClosedTagBelongsToIt) {
    EXPECT_EQ(cuts({"ab<x>c", "<y>"}), (std::vector<Cut>{{"ab<x>", "ab<x>c\n"}, {"<y>", "<y>\n"}}));
}

// Blank lines leave the text but not the line numbers: every line feed of the text, counted
// from the first segment, leads to the line an editor shows for the segment after it.
TEST(Segmentation, LineGapsLeadFromTextLinesToEditorLines) {
    std::mt19937 random(19);
    TempDir dir;
    static const char* const kBreaks[] = {"\n", "\r\n", "\r", "\n\n", "\r\n\r\n\r\n"};
    for (int round = 0; round < 50; ++round) {
        std::string body;
        for (int line = 0; line < 40; ++line) {
            body += random() % 3 == 0 ? "text" : "<ps \"Body\">text";
            body += kBreaks[random() % 5];
        }
        LanguageSettings languages;
        BrxDocument document;
        readBrxSegments(dir.write("f.txt", test::brxText(body + "</brx>\n")), FileFormat::Text,
                        languages, document);
        std::size_t breaks = 0;
        for (std::size_t i = 0; i < document.segments.size(); ++i) {
            ASSERT_EQ(lineBelow(document.lineGaps, document.segmentLines[0], breaks),
                      document.segmentLines[i])
                << "round " << round << " segment " << i;
            const std::string_view text = document.segments[i].text;
            breaks += static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
        }
    }
    // A file without blank lines needs no gaps.
    LanguageSettings languages;
    BrxDocument plain;
    readBrxSegments(dir.write("p.txt", test::brxText("<ps \"a\">x\r\n<ps \"b\">y\r\n</brx>\n")),
                    FileFormat::Text, languages, plain);
    EXPECT_TRUE(plain.lineGaps.empty());
}

TEST(Vocabulary, FirstPrefixInTableOrderWins) {
    auto id = [](std::string_view tag) { return classifyTag(tag)->id; };
    auto tagClass = [](std::string_view tag) { return classifyTag(tag)->tagClass; };
    EXPECT_EQ(vocabulary().size(), 118u);
    EXPECT_EQ(id("<:r10>"), 77);
    EXPECT_EQ(tagClass("<:r10>"), TagClass::Alert);
    EXPECT_EQ(id("<rrow \"2\">"), 50);
    EXPECT_EQ(id("<row 2>"), 47);
    EXPECT_EQ(id("<r \"x\">"), 54);
    EXPECT_EQ(id("<hrow 3>"), 49);
    for (std::string_view unknown : {"<tr>", "<TR 1>", "<#tr 1>"}) {
        EXPECT_EQ(id(unknown), 123) << unknown;
        EXPECT_EQ(tagClass(unknown), TagClass::UnknownExternal) << unknown;
    }
    EXPECT_EQ(id("<:xyz>"), 122);
    EXPECT_EQ(tagClass("<:xyz>"), TagClass::UnknownInternal);
    EXPECT_EQ(id("<:/cs>"), 94);
    EXPECT_EQ(id("<:cs>"), 122);
    EXPECT_EQ(id("<brx \"I2.00\">"), 35);
    EXPECT_EQ(id("</brx>"), 36);
    EXPECT_FALSE(classifyTag("").has_value());
    for (const TagInfo& entry : vocabulary()) {
        EXPECT_EQ(static_cast<std::size_t>(entry.length), entry.text.size());
    }
}

// A source's internal tags take the id and class of their entries, which must be what the
// vocabulary gives their texts.
TEST(TagCounts, PrefilledEntriesAreClassifiedAsTheVocabularyClassifiesThem) {
    TagCountMap map;
    prefillTagCounts(map);
    for (const TagCountMap::Entry& entry : map) {
        const std::optional<TagMatch> match = classifyTag(entry.text);
        ASSERT_TRUE(match) << entry.text;
        EXPECT_EQ(match->id, entry.value.id) << entry.text;
        EXPECT_EQ(match->tagClass, entry.value.tagClass) << entry.text;
    }
}

TEST(TagCounts, PrefilledThenInsertionOrder) {
    TagCountMap map;
    prefillTagCounts(map);
    ASSERT_EQ(map.size(), 37u);
    EXPECT_EQ(map.begin()->text, "<imk>");
    map.insert("<page \"1\">", TagCount{1, true, 8, TagClass::Error});
    map.insert("<:xyz>", TagCount{1, false, 122, TagClass::UnknownInternal});
    ASSERT_NE(map.find("<page \"1\">"), nullptr);
    map.find("<page \"1\">")->count -= 2;
    EXPECT_EQ(map.find("<page \"1\">")->count, -1);
    EXPECT_EQ(map.find("<sa>"), nullptr);
    EXPECT_NE(map.find("<ie>"), nullptr);
    std::vector<std::string> lastTwo;
    for (const auto& entry : map) lastTwo.emplace_back(entry.text);
    EXPECT_EQ(lastTwo[37], "<page \"1\">");
    EXPECT_EQ(lastTwo[38], "<:xyz>");
}

// A run starts from a copy of the prefilled map: the copy counts on its own, also once the
// map it was made from is gone, and keeps growing.
TEST(TagCounts, ACopyCountsOnItsOwn) {
    auto original = std::make_unique<TagCountMap>(prefilledTagCounts());
    original->insert("<page \"1\">", TagCount{1, true, 8, TagClass::Error});
    TagCountMap copy = *original;
    TagCountMap assigned;
    assigned = *original;
    original->find("<page \"1\">")->count = 5;
    original.reset();
    for (TagCountMap* map : {&copy, &assigned}) {
        ASSERT_NE(map->find("<page \"1\">"), nullptr);
        EXPECT_EQ(map->find("<page \"1\">")->count, 1);
        ++map->find("<ie>")->count;
        for (int i = 0; i < 300; ++i) {
            map->insert("<:xr " + std::to_string(i) + ">", TagCount{1, false, 88, TagClass::Alert});
        }
        EXPECT_EQ(map->find("<ie>")->count, 1);
        EXPECT_EQ(map->find("<:xr 299>")->count, 1);
        EXPECT_EQ(map->size(), 37u + 1u + 300u);
    }
    EXPECT_EQ(TagCountMap(prefilledTagCounts()).find("<ie>")->count, 0);
}

TEST(Paths, FoundRegardlessOfCase) {
    TempDir dir;
    dir.write("a.txt", "x");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "a.TXT"), dir.dir() + "a.txt");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "a.txt"), dir.dir() + "a.txt");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "b.TXT"), dir.dir() + "b.TXT");
    dir.write("B.txt", "x");
    dir.write("b.TXT", "x");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "b.Txt"), dir.dir() + "B.txt");
}

}  // namespace
}  // namespace brevo
