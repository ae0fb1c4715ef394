#include "export/compiler_lines.h"

#include <algorithm>
#include <string_view>

#include "export/finding_parts.h"
#include "export/text_encoding.h"

namespace brevo {
namespace {

constexpr std::string_view kBold = "\x1b[1m";
constexpr std::string_view kReset = "\x1b[0m";

// Bold red, magenta and cyan, as compilers colour the same words.
std::string_view severityColour(Severity severity) {
    switch (severity) {
        case Severity::Alert:
            return "\x1b[1;35m";
        case Severity::Warning:
            return "\x1b[1;36m";
        case Severity::Error:
            break;
    }
    return "\x1b[1;31m";
}

// One finding is one line, whatever its text holds.
std::string onOneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, ' ');
    return text;
}

void appendLine(std::string& out, const Finding& finding, const PairRecord& pair, bool colour) {
    if (colour) out.append(kBold);
    out.append(asUtf8(finding.file == Side::Target ? pair.targetPath : pair.sourcePath));
    if (auto line = lineOf(finding, finding.file)) out.append(":").append(std::to_string(*line));
    out.append(":");
    if (colour) out.append(kReset);
    out.append(" ");
    if (colour) out.append(severityColour(finding.severity));
    out.append(diagnosticLevel(finding.severity)).append(":");
    if (colour) out.append(kReset);
    out.append(" ");
    out.append(
        onOneLine(std::string(withoutNumberAndSeverity(messageUtf8(finding, pair.outcome)))));
    out.append(" [").append(std::to_string(finding.messageId)).append("]\n");
}

}  // namespace

std::string compilerStyleLines(const BatchResult& result, bool colour) {
    std::string out;
    for (const PairRecord& pair : result.pairs) {
        for (const Finding& finding : pair.outcome.findings) appendLine(out, finding, pair, colour);
    }
    return out;
}

}  // namespace brevo
