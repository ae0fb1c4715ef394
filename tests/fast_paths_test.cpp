// The fast paths of loading and classification against straightforward versions of the same
// rules, on many random inputs.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "base/path_lookup.h"
#include "base/short_text.h"
#include "base/text_store.h"
#include "brx/bracket_scan.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "brx/line_reader.h"
#include "brx/tag_vocabulary.h"
#include "test_support.h"
#include "verify/lexical_check.h"
#include "verify/pair_outcome.h"
#include "verify/validity_check.h"

namespace brevo {
namespace {

using test::TempDir;
using Lines = std::vector<std::string>;

// Text rich in what the cutter reacts to: brackets, colons, line breaks, NUL and high bytes.
std::string randomText(std::mt19937& random, std::size_t length) {
    static constexpr std::string_view kAlphabet("<<<>>>::ab \"#\n\r\0\xe9xyz", 20);
    std::uniform_int_distribution<std::size_t> pick(0, kAlphabet.size() - 1);
    std::string text;
    for (std::size_t i = 0; i < length; ++i) text += kAlphabet[pick(random)];
    return text;
}

Lines randomLines(std::mt19937& random) {
    std::uniform_int_distribution<std::size_t> count(0, 12);
    std::uniform_int_distribution<std::size_t> length(0, 40);
    Lines lines(count(random));
    for (std::string& line : lines) {
        line = randomText(random, length(random));
        std::erase_if(line, [](char c) { return c == '\n' || c == '\r'; });
    }
    return lines;
}

// A segment's tag and text, as plain strings.
using Cut = std::pair<std::string, std::string>;

std::vector<Cut> cutsOf(const std::vector<Segment>& segments) {
    std::vector<Cut> cuts;
    for (const Segment& segment : segments) cuts.emplace_back(segment.tagText(), segment.text);
    return cuts;
}

// Segmentation exactly as described: one character at a time.
std::vector<Cut> segmentOneByOne(const Lines& lines) {
    std::vector<Cut> segments;
    std::string pending;
    std::string tag;
    int depth = 0;
    char previous = ' ';
    bool seenTag = false;
    auto take = [&](char c) {
        pending.push_back(c);
        if (c == '<') ++depth;
        if (c == '>') {
            if (depth == 1 && tag.empty()) {
                tag = pending;
                seenTag = true;
            }
            --depth;
        }
        if (previous == '<' && c != ':' && seenTag) {
            segments.emplace_back(tag, pending.substr(0, pending.size() - 2));
            pending.erase(0, pending.size() - 2);
            tag.clear();
            depth = 1;
        }
        previous = c;
    };
    for (const std::string& line : lines) {
        for (char c : line) take(c);
        take('\n');
    }
    if (!tag.empty()) {
        segments.emplace_back(tag, pending);
    } else if (!pending.empty()) {
        if (segments.empty()) segments.emplace_back();
        segments.back().second += pending;
    }
    return segments;
}

void expectSameSegments(const std::vector<Segment>& actual, const std::vector<Cut>& expected,
                        int round) {
    const std::vector<Cut> cuts = cutsOf(actual);
    ASSERT_EQ(cuts.size(), expected.size()) << "round " << round;
    for (std::size_t i = 0; i < cuts.size(); ++i) {
        EXPECT_EQ(cuts[i], expected[i]) << "round " << round << " segment " << i;
    }
}

TEST(SegmentCutting, SameAsOneCharacterAtATime) {
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        const Lines lines = randomLines(random);
        BrxDocument document;
        detail::segmentLines(lines, document);
        expectSameSegments(document.segments, segmentOneByOne(lines), round);
    }
}

const std::string kHeader =
    "<brx \"I2.00\">\r\n<language \"German\">\n<quotes \"As text\">\r<readonly \"Translate\">\n";

TEST(SegmentCutting, WhileReadingSameAsAfterReading) {
    std::mt19937 random(12);
    TempDir dir;
    for (int round = 0; round < 300; ++round) {
        const std::string path = dir.write("f.txt", kHeader + randomText(random, 600));
        LanguageSettings languages;
        Lines lines;
        detail::readBrxFile(path, FileFormat::Text, languages, lines);
        BrxDocument expected;
        detail::segmentLines(lines, expected);

        BrxDocument document;
        readBrxSegments(path, FileFormat::Text, languages, document);
        expectSameSegments(document.segments, cutsOf(expected.segments), round);
    }
}

// Every line LineReader gives, each followed by a line feed.
std::string textByLines(const std::string& path) {
    LineReader reader;
    reader.open(path);
    std::string text;
    std::string line;
    while (reader.readLine(line)) text += line + "\n";
    return text;
}

// The editor's number of every line with text: CR LF, lone CR and lone LF each end a line.
std::vector<std::uint32_t> editorLinesWithText(std::string_view content) {
    std::vector<std::uint32_t> lines;
    std::uint32_t line = 1;
    bool atLineStart = true;
    for (std::size_t i = 0; i < content.size(); ++i) {
        const char c = content[i];
        if (c == '\r' || c == '\n') {
            if (c == '\r' || i == 0 || content[i - 1] != '\r') ++line;
            atLineStart = true;
        } else {
            if (atLineStart) lines.push_back(line);
            atLineStart = false;
        }
    }
    return lines;
}

// The editor's number of each line of a document's text, from the gaps the loader noted.
std::vector<std::uint32_t> editorLinesOf(const BrxDocument& document, std::size_t textLines) {
    std::vector<std::uint32_t> lines;
    std::size_t gap = 0;
    std::uint32_t skipped = 0;
    for (std::uint32_t line = 1; line <= textLines; ++line) {
        for (; gap < document.lineGaps.size() && document.lineGaps[gap].textLine <= line; ++gap)
            skipped = document.lineGaps[gap].skipped;
        lines.push_back(line + skipped);
    }
    return lines;
}

// The loader breaks lines exactly as LineReader does, and numbers them as an editor does:
// leading breaks, files of breaks only, no final break, and breaks that straddle its read
// blocks or LineReader's.
TEST(SegmentCutting, TextFileLinesAsLineByLine) {
    std::mt19937 random(15);
    TempDir dir;
    std::vector<std::string> contents = {"",      "\n",        "\r\n\r",   "abc",
                                         "\nabc", "\r\nabc\r", "a\n\n\nb", "\n\r\n<x>\n"};
    for (int round = 0; round < 400; ++round)
        contents.push_back(randomText(random, random() % 300));
    for (std::size_t at : {std::size_t{128 * 1024}, LineReader::kBlockSize}) {
        contents.push_back(std::string(at - 1, 'x') + "\r\n" + std::string(10, 'y'));
        contents.push_back(std::string(at, 'x') + "\n\r" + std::string(at, 'y'));
        contents.push_back(std::string(at, '\n') + "<x" + std::string(at, '\r') + ">\r\n");
        contents.push_back(std::string(at - 1, 'x') + "<" + "\n\n<y " + std::string(at, '\r'));
        // Ends on a page boundary without a break: the line feed goes past the file's bytes.
        contents.push_back(std::string(at - 3, 'x') + "\n<y");
    }
    // Read block by block, and mapped in place as a large file is.
    for (std::size_t i = 0; i < 2 * contents.size(); ++i) {
        const std::string path = dir.write("t.txt", contents[i / 2]);
        const std::uint64_t mapFrom = i % 2 ? 0 : UINT64_MAX;
        LanguageSettings languages;
        BrxDocument document;
        // Not a BRX file: refused after the whole file is read, which is all that is looked at.
        EXPECT_THROW(detail::readBrxSegments(path, FileFormat::Text, languages, document, mapFrom),
                     BrxFailure);
#if !defined(_WIN32)
        EXPECT_EQ(document.mappedFile != nullptr, i % 2 == 1 && !contents[i / 2].empty());
#endif
        std::string text;
        for (const Segment& segment : document.segments) text += segment.text;
        text += document.text.open();
        ASSERT_EQ(text, textByLines(path)) << "content " << i / 2;
        // A leading break is an empty first line of its own, numbered 1.
        std::vector<std::uint32_t> expected = editorLinesWithText(contents[i / 2]);
        if (!expected.empty() && expected.front() != 1) expected.insert(expected.begin(), 1);
        ASSERT_EQ(editorLinesOf(document, expected.size()), expected) << "content " << i / 2;
        ASSERT_EQ(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')),
                  expected.size())
            << "content " << i / 2;
    }
}

TEST(SegmentCutting, HeaderFaultsFoundAfterTheWholeFileIsRead) {
    TempDir dir;
    LanguageSettings languages;
    BrxDocument document;
    auto statusOf = [&](std::string_view bytes) {
        try {
            readBrxSegments(dir.write("h.txt", bytes), FileFormat::Text, languages, document);
        } catch (const BrxFailure& failure) {
            return brevo::statusOf(failure.error);
        }
        return VerifyStatus::Completed;
    };
    EXPECT_EQ(statusOf(""), VerifyStatus::UnexpectedEnd);
    EXPECT_EQ(statusOf("<brx \"I2.01\">\n"), VerifyStatus::NewerVersion);
    EXPECT_EQ(statusOf("<brx \"I2.00\">\n<language \"Klingon\">\n<quotes \"As text\">\n"),
              VerifyStatus::InvalidLanguage);
    EXPECT_EQ(statusOf(kHeader.substr(0, kHeader.rfind('<'))), VerifyStatus::UnexpectedEnd);
    EXPECT_EQ(statusOf(kHeader + "</brx>\n"), VerifyStatus::Completed);
    // An RTF file is decoded before its header is judged.
    EXPECT_THROW(readBrxSegments(dir.write("r.rtf", "{\\rtf1 <brx \"I2.00\">\\par }}"),
                                 FileFormat::Rtf, languages, document),
                 BrxFailure);
}

// The lexical check puts tagless text in front of the next tagged segment; every tag must read
// as before, even one that ran past its text into the next segment. The check finds nothing
// exactly when the quick test says the segments are clean.
TEST(SegmentCutting, LexicalJoinKeepsEveryTagAndCleanMeansSilent) {
    std::mt19937 random(13);
    int joined = 0;
    for (int round = 0; round < 3000; ++round) {
        BrxDocument document;
        detail::segmentLines(randomLines(random), document);
        const std::vector<Cut> before = cutsOf(document.segments);
        const bool clean = isLexicallyClean(document.segments);
        test::PassReport report;
        checkLexical(document.segments, document.text, report.findings);
        EXPECT_EQ(clean, report.findings.numbered() == 0) << "round " << round;

        std::string held;
        for (std::size_t i = 0; i < before.size(); ++i) {
            const Segment& segment = document.segments[i];
            EXPECT_EQ(segment.tagText(), before[i].first) << "round " << round << " segment " << i;
            if (before[i].first.empty()) {
                held += before[i].second;
                continue;
            }
            EXPECT_EQ(segment.text, held + before[i].second) << "round " << round;
            joined += !held.empty();
            held.clear();
        }
    }
    EXPECT_GT(joined, 100);  // the random text does produce joins
}

// Lines of tags and words that are mostly well formed, so that many files are clean.
Lines randomTaggedLines(std::mt19937& random) {
    static const std::vector<std::string> kPieces = {
        "<ps \"Body\">", "<:b>",      "<:/b>", "word ", "<:xr 12>",
        "<tb 3>",        "<:a <:b>>", "<",     ">",     "<#ps \"x\">",
        "<:cs \"M\">",   "<:/cs>",    "text"};
    std::uniform_int_distribution<std::size_t> count(1, 8);
    std::uniform_int_distribution<std::size_t> pick(0, kPieces.size() - 1);
    std::bernoulli_distribution stray(0.03);
    Lines lines(count(random));
    for (std::string& line : lines) {
        line = "<ps \"Body\">";
        for (std::size_t i = count(random); i > 0; --i) {
            std::size_t piece = pick(random);
            while ((kPieces[piece] == "<" || kPieces[piece] == ">") && !stray(random))
                piece = pick(random);
            line += kPieces[piece];
        }
    }
    return lines;
}

// The loader finds a file's internal tags as it cuts it exactly when the lexical check has
// nothing to report, and then exactly the tags that extraction finds; read or mapped, with any
// line breaks.
TEST(SegmentCutting, LoaderFindsTheTagsOfFilesWhoseBracketsAreInOrder) {
    std::mt19937 random(17);
    static constexpr std::array<std::string_view, 4> kBreaks = {"\n", "\r\n", "\n\n", "\r"};
    TempDir dir;
    int found = 0;
    for (int round = 0; round < 1500; ++round) {
        std::string content = kHeader;
        for (const std::string& line :
             round % 2 ? randomTaggedLines(random) : randomLines(random)) {
            content += line;
            content += kBreaks[random() % kBreaks.size()];
        }
        const std::string path = dir.write("f.txt", content);
        LanguageSettings languages;
        BrxDocument document;
        detail::readBrxSegments(path, FileFormat::Text, languages, document,
                                round % 3 ? UINT64_MAX : 0);
        std::vector<InternalTag> expected;
        extractInternalTags(document.segments, expected);
        ASSERT_EQ(document.tagsFound, isLexicallyClean(document.segments)) << "round " << round;
        if (!document.tagsFound) {
            ASSERT_TRUE(document.internalTags.empty()) << "round " << round;
            continue;
        }
        ++found;
        ASSERT_EQ(document.internalTags.size(), expected.size()) << "round " << round;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const InternalTag& tag = document.internalTags[i];
            EXPECT_EQ(tag.offset, expected[i].offset) << "round " << round;
            EXPECT_EQ(tag.length, expected[i].length) << "round " << round;
            EXPECT_EQ(tag.externalTag, expected[i].externalTag) << "round " << round;
        }
    }
    EXPECT_GT(found, 300);  // the tagged lines are in order often enough to compare tags
}

// Views handed out stay valid and unchanged while the store grows into new blocks.
TEST(TextStore, ViewsSurviveGrowthAndJoinsAcrossBlocks) {
    std::mt19937 random(14);
    TextStore store;
    std::vector<std::pair<std::string_view, std::string>> taken;
    for (int i = 0; i < 2000; ++i) {
        const std::string text = randomText(random, random() % 700);
        const std::size_t split = text.empty() ? 0 : random() % text.size();
        store.append(text.substr(0, split));
        for (char c : text.substr(split)) store.push_back(c);
        taken.emplace_back(store.take(text.size()), text);
    }
    for (const auto& [view, text] : taken) ASSERT_EQ(view, text);

    // A join with the last view stays in place; one with an older view is copied.
    store.append("tail");
    const std::string_view last = taken.back().first;
    const std::string_view inPlace = store.takeJoined(last);
    EXPECT_EQ(inPlace.data(), last.data());
    EXPECT_EQ(inPlace, taken.back().second + "tail");
    store.append("more");
    EXPECT_EQ(store.takeJoined(taken.front().first), taken.front().second + "more");

    // Copies share what was taken.
    TextStore copy = store;
    const std::string_view kept = copy.keep("kept");
    store = TextStore();
    EXPECT_EQ(kept, "kept");
    for (const auto& [view, text] : taken) ASSERT_EQ(view, text);
}

TEST(BracketScan, FindsTheFirstBracketOrBreakAtEveryOffsetAndLength) {
    std::mt19937 random(13);
    for (int round = 0; round < 2000; ++round) {
        std::string text = randomText(random, static_cast<std::size_t>(round % 70));
        std::erase_if(text, [&](char c) { return (c == '<' || c == '>') && random() % 4 != 0; });
        const char* end = text.data() + text.size();
        for (const char* from = text.data(); from <= end; ++from) {
            const char* expected = from;
            while (expected < end && *expected != '<' && *expected != '>') ++expected;
            ASSERT_EQ(findBracket(from, end), expected) << "round " << round;
        }
    }
}

bool isMarkerByte(char c) {
    return std::string_view("<>\r\n").find(c) != std::string_view::npos;
}

// The finder marks 64 bytes at a time: every marker is found in order, from any start, whether
// the reader takes each one, jumps ahead past some, or rewrites bytes it has passed.
TEST(BracketScan, MarkerFinderFindsEveryMarkerInOrder) {
    std::mt19937 random(18);
    for (int round = 0; round < 1500; ++round) {
        std::string text = randomText(random, static_cast<std::size_t>(round % 300));
        std::erase_if(text, [&](char c) { return isMarkerByte(c) && random() % 3 != 0; });
        const std::string original = text;
        const char* const begin = text.data();
        const char* const end = begin + text.size();
        auto markerFrom = [&](const char* from) {
            while (from < end && !isMarkerByte(original[static_cast<std::size_t>(from - begin)]))
                ++from;
            return from;
        };
        for (const char* from = begin; from <= end; ++from) {
            ASSERT_EQ(MarkerFinder(from, end).next(), markerFrom(from)) << "round " << round;
        }
        // Each marker in turn, now and then skipping ahead past several.
        MarkerFinder finder(begin, end);
        const char* p = begin;
        for (;;) {
            const char* const found = finder.next();
            ASSERT_EQ(found, markerFrom(p)) << "round " << round;
            if (found == end) break;
            // What lies behind the reader may change, as the loader moves text down.
            text[static_cast<std::size_t>(found - begin)] = 'x';
            p = found + 1;
            if (random() % 4 == 0) {
                p = std::min(end, p + random() % 100);
                finder.skipTo(p);
            }
        }
    }
}

TEST(BracketScan, CountsAByteAtEveryOffsetAndLength) {
    std::mt19937 random(16);
    for (int round = 0; round < 500; ++round) {
        const std::string text = randomText(random, static_cast<std::size_t>(round % 130));
        for (std::size_t from = 0; from <= text.size(); ++from) {
            const auto expected =
                std::count(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(), '<');
            ASSERT_EQ(countByte(text.data() + from, text.data() + text.size(), '<'),
                      static_cast<std::size_t>(expected));
        }
    }
}

// Classification by walking the whole table, as the table is defined.
std::optional<TagMatch> classifyByWalking(std::string_view tag) {
    for (const TagInfo& entry : vocabulary()) {
        if (tag.starts_with(entry.text)) return TagMatch{entry.id, entry.tagClass};
    }
    return std::nullopt;
}

void expectSameClass(std::string_view tag) {
    const auto expected = classifyByWalking(tag);
    const auto actual = classifyTag(tag);
    ASSERT_EQ(actual.has_value(), expected.has_value()) << tag;
    if (!expected) return;
    EXPECT_EQ(actual->id, expected->id) << tag;
    EXPECT_EQ(actual->tagClass, expected->tagClass) << tag;
}

TEST(TagClassification, IndexAgreesWithTheTableWalk) {
    for (const TagInfo& entry : vocabulary()) {
        const std::string text(entry.text);
        for (std::size_t cut = 0; cut <= text.size(); ++cut) expectSameClass(text.substr(0, cut));
        for (std::string_view tail : {">", "x>", "12>", "\"Body\">", " 3>", "\0>"}) {
            expectSameClass(text + std::string(tail));
        }
        expectSameClass("<#" + text.substr(1));
    }
    std::mt19937 random(14);
    for (int round = 0; round < 20000; ++round)
        expectSameClass(randomText(random, static_cast<std::size_t>(round % 9)));
    for (int byte = 0; byte < 256; ++byte) {
        expectSameClass(std::string{'<', static_cast<char>(byte), 'x'});
        expectSameClass(std::string{'<', ':', static_cast<char>(byte)});
    }
}

// Short texts are compared with overlapping loads: a difference at any one byte of any size
// must show, and only the bytes of the texts themselves may be read.
TEST(ShortText, EqualityAndPrefixAgreeWithStringViewAtEverySize) {
    std::mt19937 random(19);
    for (std::size_t size = 0; size <= 40; ++size) {
        for (int round = 0; round < 60; ++round) {
            const std::string text = randomText(random, size);
            // Copies of their own, so that a read past the end shows under the sanitizers.
            const std::vector<char> same(text.begin(), text.end());
            const std::string_view sameView(same.data(), same.size());
            EXPECT_TRUE(sameShortText(text, sameView)) << size;
            for (std::size_t at = 0; at < size; ++at) {
                std::vector<char> other = same;
                other[at] = static_cast<char>(other[at] ^ (1 << (round % 8)));
                const std::string_view otherView(other.data(), other.size());
                ASSERT_FALSE(sameShortText(text, otherView)) << size << " at " << at;
                ASSERT_EQ(startsWithShortText(text, otherView.substr(0, at + 1)),
                          text.starts_with(otherView.substr(0, at + 1)))
                    << size << " at " << at;
            }
            const std::string_view prefix(text.data(), random() % (size + 1));
            EXPECT_TRUE(startsWithShortText(text, prefix)) << size;
            EXPECT_FALSE(startsWithShortText(prefix, text + "x")) << size;
            EXPECT_EQ(sameShortText(text, text.substr(0, prefix.size())), prefix.size() == size);
        }
    }
}

TEST(TagCountMap, AgreesWithAnOrderedMapAndKeepsInsertionOrder) {
    std::mt19937 random(15);
    TagCountMap map;
    std::map<std::string, std::int32_t> model;
    std::vector<std::string> order;
    for (int round = 0; round < 20000; ++round) {
        const std::string key = randomText(random, random() % 24);
        if (TagCount* found = map.find(key)) {
            ASSERT_TRUE(model.contains(key)) << key;
            ++found->count;
            ++model[key];
        } else {
            ASSERT_FALSE(model.contains(key)) << key;
            map.insert(key, TagCount{1, false, static_cast<TagId>(round), TagClass::Formatting});
            model[key] = 1;
            order.push_back(key);
        }
    }
    ASSERT_EQ(map.size(), model.size());
    std::size_t i = 0;
    for (const TagCountMap::Entry& entry : map) {
        ASSERT_EQ(entry.text, order[i++]);
        EXPECT_EQ(entry.value.count, model[std::string(entry.text)]);
    }
    // A count handed out stays where it is while the table grows.
    TagCount* first = map.find(order.front());
    for (int extra = 0; extra < 5000; ++extra) map.insert("extra" + std::to_string(extra), {});
    EXPECT_EQ(map.find(order.front()), first);
}

#if !defined(_WIN32)  // names that differ only in case, and directory times
// Directory listings are kept between lookups; any change to the directory must still show.
TEST(PathLookup, KeptListingsFollowChangesToTheDirectory) {
    TempDir dir;
    dir.write("b.txt", "x");
    const auto settle = [&] {
        std::filesystem::last_write_time(
            dir.path(), std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    };
    settle();
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "B.TXT"), dir.dir() + "b.txt");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "B.TXT"), dir.dir() + "b.txt");

    dir.write("B.txt", "x");  // first in byte order from now on
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "b.TXT"), dir.dir() + "B.txt");
    settle();
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "b.TXT"), dir.dir() + "B.txt");

    std::filesystem::remove(dir.path() / "B.txt");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "b.TXT"), dir.dir() + "b.txt");
    std::filesystem::remove(dir.path() / "b.txt");
    settle();
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "b.TXT"), dir.dir() + "b.TXT");
    dir.write("c.txt", "x");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "C.TXT"), dir.dir() + "c.txt");
}
#endif

// Reports are written into the directory of the translations while its files are looked up:
// changes made in quick succession, as a batch makes them, must show at once.
TEST(PathLookup, ChangesMadeInQuickSuccessionShowAtOnce) {
    TempDir dir;
    for (int i = 0; i < 50; ++i) {
        const std::string name = std::string(1, 'f').append(std::to_string(i));
        dir.write(name + ".txt", "x");
        EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + name + ".TXT"), dir.dir() + name + ".txt");
        dir.write(name + ".CMP", "report");
        // Through another name: some file systems take a change of case alone for no change.
        std::filesystem::rename(dir.path() / (name + ".txt"), dir.path() / (name + ".tmp"));
        std::filesystem::rename(dir.path() / (name + ".tmp"), dir.path() / (name + ".Txt"));
        EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + name + ".TXT"), dir.dir() + name + ".Txt");
        std::filesystem::remove(dir.path() / (name + ".Txt"));
        EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + name + ".tXT"), dir.dir() + name + ".tXT");
    }
}

#if !defined(_WIN32)  // names that differ only in case
// Once a directory is listed, its listing answers whether a name is there exactly.
TEST(PathLookup, AnExactNameIsFoundAsItComesAndGoes) {
    TempDir dir;
    dir.write("d.txt", "x");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "D.TXT"), dir.dir() + "d.txt");
    dir.write("D.TXT", "x");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "D.TXT"), dir.dir() + "D.TXT");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "d.txt"), dir.dir() + "d.txt");
    std::filesystem::remove(dir.path() / "D.TXT");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "D.TXT"), dir.dir() + "d.txt");
    std::filesystem::remove(dir.path() / "d.txt");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "d.txt"), dir.dir() + "d.txt");
    EXPECT_FALSE(fileExists(dir.dir() + "d.txt"));
}

// A batch's directories hold thousands of files, and reports come and go among them.
TEST(PathLookup, ALargeDirectoryFindsEveryNameThroughManyChanges) {
    TempDir dir;
    auto name = [](int i) { return std::string(1, 'g').append(std::to_string(i)); };
    for (int i = 0; i < 600; ++i) dir.write(name(i) + ".txt", "x");
    EXPECT_EQ(resolvePathIgnoringCase(dir.dir() + "G7.TXT"), dir.dir() + "g7.txt");
    for (int i = 0; i < 600; i += 2) {
        std::filesystem::remove(dir.path() / (name(i) + ".txt"));
        dir.write(name(i) + ".Txt", "x");
        dir.write(name(i) + ".CMP", "report");
    }
    for (int i = 0; i < 600; i += 3) std::filesystem::remove(dir.path() / (name(i) + ".CMP"));
    for (int i = 0; i < 600; ++i) {
        const std::string expected = name(i) + (i % 2 == 0 ? ".Txt" : ".txt");
        ASSERT_EQ(resolvePathIgnoringCase(dir.dir() + name(i) + ".TXT"), dir.dir() + expected);
        const std::string report = name(i) + (i % 2 == 0 && i % 3 != 0 ? ".CMP" : ".cmp");
        ASSERT_EQ(resolvePathIgnoringCase(dir.dir() + name(i) + ".cmp"), dir.dir() + report);
    }
}
#endif

}  // namespace
}  // namespace brevo
