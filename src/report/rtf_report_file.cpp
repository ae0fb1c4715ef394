#include "report/rtf_report_file.h"

#include <string_view>

#include "report/report_file.h"

namespace brevo {
namespace {

// Family, charset, pitch and face of one font-table entry.
using FontDefinition = std::string_view;

struct SourceFonts {
    int codePage;
    FontDefinition fixedPitch;  // font 1
    FontDefinition sansSerif;   // font 2
    FontDefinition text;        // font 3
    bool textEndsLine;
};

constexpr SourceFonts kSourceFonts[] = {
    {1250, R"(\fmodern\fcharset238\fprq1 Courier New CE)", R"(\fswiss\fcharset238\fprq2 Arial CE)",
     R"(\froman\fcharset238\fprq2 Times New Roman CE)", false},
    {1251, R"(\fmodern\fcharset204\fprq1 Courier New CYR)",
     R"(\fswiss\fcharset204\fprq2 Arial CYR)", R"(\froman\fcharset204\fprq2 Times New Roman CYR)",
     false},
    {1252, R"(\fmodern\fcharset0\fprq1 Courier New)", R"(\fswiss\fcharset0\fprq2 Arial)",
     R"(\froman\fcharset0\fprq2 Times New Roman)", false},
    {1253, R"(\fmodern\fcharset161\fprq1 Courier New Greek)",
     R"(\fswiss\fcharset161\fprq2 Arial Greek)",
     R"(\froman\fcharset161\fprq2 Times New Roman Greek)", false},
    {1254, R"(\fmodern\fcharset162\fprq1 Courier New TUR)",
     R"(\fswiss\fcharset162\fprq2 Arial TUR)", R"(\froman\fcharset162\fprq2 Times New Roman TUR)",
     false},
    {1257, R"(\fmodern\fcharset186\fprq1 Courier New Baltic)",
     R"(\fswiss\fcharset186\fprq2 Arial Baltic)",
     R"(\froman\fcharset186\fprq2 Times New Roman Baltic)", false},
    // Shift-JIS face names, written as hexadecimal escapes.
    {932, R"(\fmodern\fcharset128\fprq2 \'82\'6c\'82\'72 \'82\'6f\'83\'53\'83\'56\'83\'62\'83\'4e)",
     R"(\fmodern\fcharset128\fprq1 \'82\'6c\'82\'72 \'83\'53\'83\'56\'83\'62\'83\'4e)",
     R"(\froman\fcharset128\fprq1 \'82\'6c\'82\'72 \'96\'be\'92\'a9)", true},
};

struct TargetFont {
    int codePage;
    FontDefinition definition;
};

constexpr TargetFont kTargetFonts[] = {
    {932, R"(\froman\fcharset128\fprq1 \'82\'6c\'82\'72 \'96\'be\'92\'a9)"},
    {936, R"(\fnil\fcharset134\fprq2 \'cb\'ce\'cc\'e5)"},
    {949, R"(\fmodern\fcharset129\fprq2 \'b1\'bc\'b8\'b2)"},
    {950, R"(\fnil\fcharset136\fprq2 \'b7\'73\'b2\'d3\'a9\'fa\'c5\'e9)"},
    {1250, R"(\froman\fcharset238\fprq2 Times New Roman CE)"},
    {1251, R"(\froman\fcharset204\fprq2 Times New Roman CYR)"},
    {1253, R"(\froman\fcharset161\fprq2 Times New Roman Greek)"},
    {1254, R"(\froman\fcharset162\fprq2 Times New Roman TUR)"},
    {1257, R"(\froman\fcharset186\fprq2 Times New Roman Baltic)"},
};
constexpr FontDefinition kWesternTextFont = R"(\froman\fcharset0\fprq2 Times New Roman)";

FontDefinition targetFont(int codePage) {
    for (const TargetFont& font : kTargetFonts) {
        if (font.codePage == codePage) return font.definition;
    }
    return kWesternTextFont;
}

void appendFont(std::string& out, char number, FontDefinition definition) {
    out += "{\\f";
    out += number;
    out += ' ';
    out += definition;
    out += ";}";
}

void appendSourceFonts(std::string& out, int codePage) {
    for (const SourceFonts& fonts : kSourceFonts) {
        if (fonts.codePage != codePage) continue;
        appendFont(out, '1', fonts.fixedPitch);
        out += '\n';
        appendFont(out, '2', fonts.sansSerif);
        out += '\n';
        appendFont(out, '3', fonts.text);
        if (fonts.textEndsLine) out += '\n';
        return;
    }
    // Chinese and Korean have no fonts of their own here; without these the report would refer
    // to fonts it never defines, so all three take the face of that code page.
    if (codePage == 936 || codePage == 949 || codePage == 950) {
        const FontDefinition definition = targetFont(codePage);
        appendFont(out, '1', definition);
        out += '\n';
        appendFont(out, '2', definition);
        out += '\n';
        appendFont(out, '3', definition);
    }
}

// Font 4 is there only when the target needs a font of its own.
void appendFontTable(std::string& out, int sourceCodePage, int targetCodePage) {
    out += "{\\fonttbl \n";
    appendSourceFonts(out, sourceCodePage);
    if (targetCodePage == sourceCodePage) {
        out += "}\n";
        return;
    }
    out += '\n';
    appendFont(out, '4', targetFont(targetCodePage));
    out += "}\n";
}

constexpr std::string_view kColourTable =
    R"({\colortbl \red0\green0\blue0;\red0\green0\blue0;\red0\green0\blue255;\red0\green255\blue255;\red0\green255\blue0;
\red255\green0\blue255;\red255\green0\blue0;\red255\green255\blue0;\red255\green255\blue255;\red0\green0\blue128;
\red0\green128\blue128;\red0\green128\blue0;\red128\green0\blue128;\red128\green0\blue0;\red128\green128\blue0;
\red128\green128\blue128;\red192\green192\blue192;}
)";

constexpr std::string_view kStyleSheet =
    "{\\stylesheet \n"
    R"({\s0 \sb0\slmult1\widctlpar\fs20\f3 \snext0 Normal;}
{\cs1 \additive \v\cf12\sub\f1 pv4wrtMark;}
{\cs2 \cf4\fs40\f1 pv4wrtError;}
{\cs3 \f1\cf11 pv4wrtPopup;}
{\cs4 \f1\cf10 pv4wrtJump;}
{\cs5 \additive \cf15\f1\lang1024 pv4wrtExternal;}
{\cs6 \additive \cf6\f1\lang1024 pv4wrtInternal;}
{\cs7 \cf2 pv4wrtTerm;}
{\cs8 \additive Default Paragraph Font;}}
)";

constexpr std::string_view kOpeningParagraph = R"(\pard\plain\s0\sb0\slmult1\widctlpar\fs20\f3 )";

// Twips: A4 is 11907 by 16840, Letter 12242 by 15842.
void appendPageSetup(std::string& out, PageSize pageSize, Orientation orientation) {
    const bool isA4 = pageSize == PageSize::A4;
    const bool portrait = orientation == Orientation::Portrait;
    const std::string_view shortSide = isA4 ? "11907" : "12242";
    const std::string_view longSide = isA4 ? "16840" : "15842";
    out += "\\paperw";
    out += portrait ? shortSide : longSide;
    out += "\\paperh";
    out += portrait ? longSide : shortSide;
    if (!portrait) out += "\\landscape";
    out += kOpeningParagraph;
    out += '\n';
}

std::string rtfPreamble(const RtfLayout& layout) {
    const int sourceCodePage = layout.sourceCodePage;
    const int targetCodePage = layout.targetCodePage;
    std::string out = "{\\rtf1\\ansi\\deff3\\deflang1024 \n";
    appendFontTable(out, sourceCodePage, targetCodePage);
    out += kColourTable;
    out += kStyleSheet;
    appendPageSetup(out, layout.pageSize, layout.orientation);
    return out;
}

// The whole document through `put`, with the lines from `forEachLine`: "\par " between them,
// each on a line of its own, and the closing brace.
template <class ForEachLine, class Put>
void produceRtfReport(ForEachLine&& forEachLine, const std::string& preamble, Put&& put) {
    put(preamble);
    bool first = true;
    forEachLine([&](std::string_view line) {
        if (!first) put("\\par ");
        first = false;
        put(line);
        put("\n");
    });
    put("}");
}

}  // namespace

std::string detail::buildRtfReport(const ReportLog::Lines& lines, const RtfLayout& layout) {
    const std::string preamble = rtfPreamble(layout);
    std::size_t size = preamble.size() + 1;
    for (const std::string& line : lines) size += line.size() + 6;
    std::string out;
    out.reserve(size);
    produceRtfReport(
        [&lines](auto&& visit) {
            for (const std::string& line : lines) visit(line);
        },
        preamble, [&out](std::string_view bytes) { out += bytes; });
    return out;
}

void detail::writeRtfReport(const std::string& path, const ReportLog::Lines& lines,
                            const RtfLayout& layout) {
    writeWholeFile(path, buildRtfReport(lines, layout));
}

void writeRtfReport(const std::string& path, const ReportLog& log, const RtfLayout& layout) {
    BlockFileWriter file(path);
    produceRtfReport([&log](auto&& visit) { log.forEachLine(visit); }, rtfPreamble(layout),
                     [&file](std::string_view bytes) { file.write(bytes); });
    file.close();
}

}  // namespace brevo
