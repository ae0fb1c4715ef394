#include "verify/internal_tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "brx/language_table.h"
#include "brx/tag_vocabulary.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "test_support.h"
#include "verify/findings.h"

namespace brevo {
namespace {

using Lines = std::vector<std::string>;

// Segments and their internal tags, classified as the run leaves them before these checks.
struct Document {
    std::vector<Segment> segments;
    std::vector<InternalTag> tags;

    // Pieces that begin with "<:" are internal tags; the others are plain text.
    Document& add(const std::string& tagText, const Lines& pieces = {}) {
        std::string body;
        for (const std::string& piece : pieces) body += piece;
        Segment segment = test::segmentWithTag(tagText, body + "\n");
        std::optional<TagMatch> external = classifyTag(tagText);
        segment.id = external->id;
        segment.tagClass = external->tagClass;
        std::size_t offset = tagText.size();
        segments.push_back(segment);
        for (const std::string& piece : pieces) {
            if (piece.starts_with("<:")) addTag(piece, offset);
            offset += piece.size();
        }
        return *this;
    }

private:
    // A tag at `offset` in the text of the last segment.
    void addTag(const std::string& text, std::size_t offset) {
        const std::size_t position = segments.size() - 1;
        InternalTag tag =
            internalTagAt(position, segments[position],
                          std::string_view(segments[position].text).substr(offset, text.size()));
        std::optional<TagMatch> match = classifyTag(text);
        tag.id = match->id;
        tag.tagClass = match->tagClass;
        tags.push_back(tag);
    }
};

struct Harness {
    ReportLog log;
    LanguageSettings languages;
    ReportLineWriter writer{log, FileFormat::Text, languages};
    Findings findings{writer};

    Lines lines() const { return Lines(log.lines().begin(), log.lines().end()); }
};

Lines pairingReport(const Document& document, Harness& harness) {
    checkInternalPairing(document.segments, document.tags, harness.findings);
    return harness.lines();
}

Lines pairingReport(const Document& document) {
    Harness harness;
    return pairingReport(document, harness);
}

Lines structureReport(const Document& document) {
    Harness harness;
    checkInternalStructure(document.segments, document.tags, harness.findings);
    return harness.lines();
}

// A message with the neighbouring segments' texts, already joined, in their frame.
Lines block(const std::string& message, const std::string& shownText) {
    return {message, "+++++++++++++ Text Segment +++++++++++++", shownText,
            "++++++++++++++++++++++++++++++++++++++++\n\n"};
}

Lines concat(std::initializer_list<Lines> parts) {
    Lines all;
    for (const Lines& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// --- pairing ---------------------------------------------------------------------------

TEST(InternalPairing, SurplusClosingTagIsReportedWhereItStands) {
    Document document;
    document.add("<page \"1\">")
        .add("<ps \"Body\">", {"<:b>", "x", "<:/b>", "<:/b>"})
        .add("<ps \"Next\">", {"y"});
    Harness harness;
    EXPECT_EQ(pairingReport(document, harness),
              block("[1] ERROR! 1 <:/b> without starting <:b>!",
                    "<page \"1\">\n<ps \"Body\"><:b>x<:/b><:/b>\n<ps \"Next\">y"));
    EXPECT_EQ(harness.findings.counts().errors, 1);
}

TEST(InternalPairing, UnclosedTagsAreCountedAtTheEndOfTheirSegment) {
    // Reported when the next segment's first tag is reached, before that tag's own message.
    Document document;
    document.add("<ps \"A\">", {"<:b>", "<:b>", "x"})
        .add("<ps \"B\">", {"<:/i>"})
        .add("<ps \"C\">", {"<:i>", "<:i>", "<:i>"});
    EXPECT_EQ(pairingReport(document),
              concat({block("[1] ERROR! 2 <:b> without ending <:/b>!",
                            "<ps \"A\"><:b><:b>x\n<ps \"B\"><:/i>"),
                      block("[2] ERROR! 1 <:/i> without starting <:i>!",
                            "<ps \"A\"><:b><:b>x\n<ps \"B\"><:/i>\n<ps \"C\"><:i><:i><:i>"),
                      block("[3] ERROR! 3 <:i> without ending <:/i>!",
                            "<ps \"B\"><:/i>\n<ps \"C\"><:i><:i><:i>")}));
}

TEST(InternalPairing, PairsDoNotSpanSegments) {
    Document document;
    document.add("<ps \"A\">", {"<:cs \"Em\">", "x"})
        .add("<ps \"B\">")  // no internal tags: not a group of its own
        .add("<ps \"C\">", {"y", "<:/cs>"});
    EXPECT_EQ(pairingReport(document),
              concat({block("[1] ERROR! 1 <:cs ?> without ending <:/cs>!",
                            "<ps \"A\"><:cs \"Em\">x\n<ps \"B\">"),
                      block("[2] ERROR! 1 <:/cs> without starting <:cs ?>!",
                            "<ps \"B\">\n<ps \"C\">y<:/cs>")}));
}

TEST(InternalPairing, UnclosedPairsAreReportedInFixedOrder) {
    Document document;
    document.add("<ps \"A\">", {"<:s>", "<:c>", "<:bi>", "<:i>", "<:b>", "<:fc 3>", "<:sc \"X\">",
                                "<:cs \"Y\">", "<:/s>", "<:c>"});
    const std::string shown =
        "<ps \"A\"><:s><:c><:bi><:i><:b><:fc 3><:sc \"X\"><:cs \"Y\"><:/s><:c>";
    EXPECT_EQ(pairingReport(document),
              concat({block("[1] ERROR! 1 <:cs ?> without ending <:/cs>!", shown),
                      block("[2] ERROR! 1 <:sc ?> without ending <:/sc>!", shown),
                      block("[3] ERROR! 1 <:fc ?> without ending <:/fc>!", shown),
                      block("[4] ERROR! 1 <:b> without ending <:/b>!", shown),
                      block("[5] ERROR! 1 <:i> without ending <:/i>!", shown),
                      block("[6] ERROR! 1 <:bi> without ending <:/bi>!", shown),
                      block("[7] ERROR! 2 <:c> without ending <:/c>!", shown)}));
}

TEST(InternalPairing, ClosingTagsWithoutTheirStart) {
    // A closing tag before its opening one does not cancel out.
    Document document;
    document.add("<ps \"A\">", {"<:/sc>", "<:/fc>", "<:/bi>", "<:/c>", "<:/s>", "<:b>", "<:lt>"});
    const std::string shown = "<ps \"A\"><:/sc><:/fc><:/bi><:/c><:/s><:b><:lt>";
    EXPECT_EQ(pairingReport(document),
              concat({block("[1] ERROR! 1 <:/sc> without starting <:sc ?>!", shown),
                      block("[2] ERROR! 1 <:/fc> without starting <:fc ?>!", shown),
                      block("[3] ERROR! 1 <:/bi> without starting <:bi>!", shown),
                      block("[4] ERROR! 1 <:/c> without starting <:c>!", shown),
                      block("[5] ERROR! 1 <:/s> without starting <:s>!", shown),
                      block("[6] ERROR! 1 <:b> without ending <:/b>!", shown)}));
}

// Tags of no pair, whatever their id, neither open nor close one.
TEST(InternalPairing, TagsOfNoPairLeaveThePairsAlone) {
    Document document;
    document.add("<ps \"A\">", {"<:cs \"M\">", "<:xr 1>", "<:an 2>", "<:iaf 3>", "<:lt>", "<:r4>",
                                "<:/cs>", "<:fc 9>", "<:fn 5>", "<:/fc>"});
    EXPECT_TRUE(pairingReport(document).empty());
}

TEST(InternalPairing, ConditionalTextMaySpanSegments) {
    Document balanced;
    balanced.add("<ps \"A\">", {"<:cns \"A\">", "x"})
        .add("<ps \"B\">", {"y"})
        .add("<ps \"C\">", {"<:/cns>"});
    EXPECT_TRUE(pairingReport(balanced).empty());

    // An open one left at the end is not reported.
    Document faulty;
    faulty.add("<ps \"A\">", {"<:cns \"A\">"})
        .add("<ps \"B\">", {"<:cns \"B\">", "<:/cns>", "<:/cns>"})
        .add("<ps \"C\">", {"<:cns \"C\">"});
    const std::string shown =
        "<ps \"A\"><:cns \"A\">\n<ps \"B\"><:cns \"B\"><:/cns><:/cns>\n"
        "<ps \"C\"><:cns \"C\">";
    EXPECT_EQ(pairingReport(faulty),
              concat({block("[1] ERROR! 1 <:cns ?> without ending <:/cns>!", shown),
                      block("[2] ERROR! 1 <:/cns> without starting <:cns ?>!", shown)}));
}

TEST(InternalPairing, NumbersContinueTheRunAndFramesDropOneLineFeed) {
    Document document;
    document.add("<ps \"A\">", {"<:/b>", "\n"});  // ends in two line feeds
    Harness harness;
    detail::setCountsSoFar(harness.findings, {41, 0, 0});
    harness.findings.quoteFrom(Side::Target);
    EXPECT_EQ(pairingReport(document, harness),
              block("[42] ERROR! 1 <:/b> without starting <:b>!", "<ps \"A\"><:/b>\n"));
}

TEST(InternalPairing, LargeCountsInOneSegment) {
    Lines pieces(100000, "<:i>");
    Document document;
    document.add("<ps \"A\">", pieces);
    Lines report = pairingReport(document);
    ASSERT_EQ(report.size(), 4u);
    EXPECT_EQ(report[0], "[1] ERROR! 100000 <:i> without ending <:/i>!");
}

// --- structure -------------------------------------------------------------------------

TEST(InternalStructure, IndexElementsTakeOnlySpecialCharactersAndNumberedTags) {
    Document document;
    document.add("<imk 1>")
        .add("<ie>", {"<:lt>", "a", "<:r3>", "<:b>", "b", "<:/b>"})
        .add("<il>", {"<:i>"})
        .add("<ss>", {"<:gt>", "<:cs \"X\">"})
        .add("<sa>", {"<:c>"})
        .add("</imk>");
    EXPECT_EQ(structureReport(document),
              concat({block("[1] ERROR! <:b> may not appear inside an index entry!",
                            "<imk 1>\n<ie><:lt>a<:r3><:b>b<:/b>\n<il><:i>"),
                      block("[2] ERROR! <:/b> may not appear inside an index entry!",
                            "<imk 1>\n<ie><:lt>a<:r3><:b>b<:/b>\n<il><:i>"),
                      block("[3] ERROR! <:i> may not appear inside an index level!",
                            "<ie><:lt>a<:r3><:b>b<:/b>\n<il><:i>\n<ss><:gt><:cs \"X\">"),
                      block("[4] ERROR! <:cs \"X\"> may not appear inside a sort string!",
                            "<il><:i>\n<ss><:gt><:cs \"X\">\n<sa><:c>"),
                      block("[5] ERROR! <:c> may not appear inside a see also!",
                            "<ss><:gt><:cs \"X\">\n<sa><:c>\n</imk>")}));
}

TEST(InternalStructure, TextElementRules) {
    Document document;
    document.add("<xrv \"v\">", {"<:r2>", "<:b>"})
        .add("<ts 1>", {"<:bb \"X\">", "<:lt>", "<:i>"})
        .add("<tl 1>", {"<:bb \"X\">"})
        .add("<ctart 1>", {"<:iaf 2>", "<:lt>"});
    EXPECT_EQ(
        structureReport(document),
        concat({block("[1] ERROR! <:b> may not appear after a cross-reference variable!",
                      "<xrv \"v\"><:r2><:b>\n<ts 1><:bb \"X\"><:lt><:i>"),
                block("[2] ERROR! <:i> may not appear between <ts ?> and </ts>!",
                      "<xrv \"v\"><:r2><:b>\n<ts 1><:bb \"X\"><:lt><:i>\n<tl 1><:bb \"X\">"),
                block("[3] ERROR! <:bb \"X\"> may not appear between <tl ?> and </tl>!",
                      "<ts 1><:bb \"X\"><:lt><:i>\n<tl 1><:bb \"X\">\n<ctart 1><:iaf 2><:lt>"),
                block("[4] ERROR! <:lt> may not appear between <ctart ?> and </ctart>.",
                      "<tl 1><:bb \"X\">\n<ctart 1><:iaf 2><:lt>")}));
}

TEST(InternalStructure, NamedBuildingBlocksTakeOneKindOnly) {
    Document document;
    document.add("<bb \"Variable Format\">", {"<:v \"x\">", "<:lt>"})
        .add("<bb \"Prefix Format\">", {"<:pn \"p\">", "<:v \"x\">"})
        .add("<bb \"Shared Frame Format\">", {"<:saf 1>", "<:r1>"})
        .add("<bb \"Autonumber Stream Format\">", {"<:an 1>", "<:saf 1>"});
    const Lines report = structureReport(document);
    ASSERT_EQ(report.size(), 16u);
    EXPECT_EQ(report[0],
              "[1] ERROR! <:lt> may not appear inside the external building block "
              "<bb \"Variable Format\">.");
    EXPECT_EQ(report[4],
              "[2] ERROR! <:v \"x\"> may not appear inside the external building block "
              "<bb \"Prefix Format\">.");
    EXPECT_EQ(report[8],
              "[3] ERROR! <:r1> may not appear inside the external building block "
              "<bb \"Shared Frame Format\">.");
    EXPECT_EQ(report[12],
              "[4] ERROR! <:saf 1> may not appear inside the external building block "
              "<bb \"Autonumber Stream Format\">.");
    EXPECT_EQ(report[14],
              "<bb \"Shared Frame Format\"><:saf 1><:r1>\n"
              "<bb \"Autonumber Stream Format\"><:an 1><:saf 1>");
}

TEST(InternalStructure, OtherBuildingBlocksTakeSpecialCharactersAndNumberedTags) {
    // The name is compared exactly: another spelling is an ordinary building block.
    Document document;
    document.add("<bb \"Level 1\">", {"<:lt>", "<:r4>", "<:b>"})
        .add("<bb \"variable format\">", {"<:v \"x\">"});
    EXPECT_EQ(
        structureReport(document),
        concat({block("[1] ERROR! <:b> may not appear inside the external building block "
                      "<bb \"Level 1\">.",
                      "<bb \"Level 1\"><:lt><:r4><:b>\n<bb \"variable format\"><:v \"x\">"),
                block("[2] ERROR! <:v \"x\"> may not appear inside the external building "
                      "block <bb \"variable format\">.",
                      "<bb \"Level 1\"><:lt><:r4><:b>\n<bb \"variable format\"><:v \"x\">")}));
}

TEST(InternalStructure, TagsWithoutARuleAreFree) {
    Document document;
    document.add("<ps \"Body\">", {"<:b>", "<:xyz>", "<:an 1>"})
        .add("<fn 1>", {"<:cs \"E\">"})
        .add("<page \"1\">", {"<:iaf 1>"});
    EXPECT_TRUE(structureReport(document).empty());
}

}  // namespace
}  // namespace brevo
