// Segmentation and every check of a single file: once as a source, once as its own target.
#include <cstdint>
#include <string>
#include <vector>

#include "brx/brx_loader.h"
#include "brx/document.h"
#include "brx/failure.h"
#include "brx/tag_vocabulary.h"
#include "fuzz_support.h"
#include "report/line_writer.h"
#include "report/report_log.h"
#include "verify/external_positioning.h"
#include "verify/external_structure.h"
#include "verify/findings.h"
#include "verify/internal_tags.h"
#include "verify/japanese_check.h"
#include "verify/lexical_check.h"
#include "verify/validity_check.h"

namespace {

using namespace brevo;

// Segmentation loses and adds nothing, and each text begins with its tag. The one exception:
// a tag closed by the ">" of "<>" cuts there and leaves its text to the segment before.
void checkSegments(const std::vector<std::string>& lines, const std::vector<Segment>& segments) {
    std::string joined;
    for (const std::string& line : lines) joined += line + "\n";
    std::string cut;
    for (const Segment& segment : segments) {
        if (!segment.text.starts_with(segment.tagText()) && !segment.tagText().ends_with("<>")) {
            fuzz::fault("text without its tag");
        }
        cut += segment.text;
    }
    if (cut != joined) fuzz::fault("segments differ from the lines");
}

// An RTF report line must leave no group open or closed too often.
void checkRtfGroups(const ReportLog& log) {
    for (const std::string& line : log.lines()) {
        int depth = 0;
        for (char c : line) {
            if (c == '{') ++depth;
            if (c == '}' && --depth < 0) fuzz::fault("RTF group closed twice");
        }
        if (depth != 0) fuzz::fault("RTF group left open");
    }
}

void classifyInternalTags(BrxDocument& document) {
    for (InternalTag& tag : document.internalTags) {
        if (auto match = classifyTag(textOf(document.segments, tag))) {
            tag.id = match->id;
            tag.tagClass = match->tagClass;
        }
    }
}

void checkStructure(BrxDocument& document, Findings& findings) {
    checkExternalPositioning(document.segments, findings);
    checkExternalStructure(document.segments, findings);
    checkInternalPairing(document.segments, document.internalTags, findings);
    checkInternalStructure(document.segments, document.internalTags, findings);
    checkJapaneseCharacters(document.segments, findings);
}

void checkAsSource(BrxDocument& document, TagCountMap& tagCounts, Findings& findings) {
    int addedTagCount = 0;
    checkLexical(document.segments, document.text, findings);
    classifyExternalTags(document.segments, Side::Source, findings, addedTagCount);
    prefillTagCounts(tagCounts);
    checkSourceValidity(tagCounts, document.segments, document.internalTags, findings);
    classifyInternalTags(document);
    checkStructure(document, findings);
}

void checkAsTarget(BrxDocument& document, TagCountMap& tagCounts, Findings& findings) {
    int addedTagCount = 0;
    checkLexical(document.segments, document.text, findings);
    classifyExternalTags(document.segments, Side::Target, findings, addedTagCount);
    detail::checkTargetValidity(tagCounts, document.segments, document.internalTags, findings);
    checkStructure(document, findings);
}

// A tag cut off at the end of a text may end the pair with ParserError; nothing else may.
template <typename Check>
void expectParserErrorAtMost(Check check) {
    try {
        check();
    } catch (const BrxFailure& failure) {
        if (failure.error != BrxError::ParserError) fuzz::fault("unexpected status");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = fuzz::expectedLines(fuzz::asBytes(data, size));
    BrxDocument source;
    detail::segmentLines(lines, source);
    checkSegments(lines, source.segments);
    BrxDocument target = source;

    LanguageSettings languages;
    TagCountMap tagCounts;
    ReportLog textLog;
    ReportLineWriter textWriter(textLog, FileFormat::Text, languages);
    Findings sourceFindings(textWriter);
    expectParserErrorAtMost([&] { checkAsSource(source, tagCounts, sourceFindings); });

    // The target's findings go through the RTF line encoding, in another code page.
    LanguageSettings japanese;
    setTargetLanguage(japanese, "Japanese");
    ReportLog rtfLog;
    ReportLineWriter rtfWriter(rtfLog, FileFormat::Rtf, japanese);
    Findings targetFindings(rtfWriter);
    targetFindings.quoteFrom(Side::Target);
    expectParserErrorAtMost([&] { checkAsTarget(target, tagCounts, targetFindings); });
    checkRtfGroups(rtfLog);
    return 0;
}
