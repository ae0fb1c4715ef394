#include "export/findings_json.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <system_error>

#include "base/file_failure.h"
#include "base/file_names.h"
#include "base/terminal.h"
#include "batch/status_messages.h"
#include "export/finding_parts.h"
#include "export/sarif_rules.h"
#include "export/text_encoding.h"
#include "report/report_file.h"
#include "verify/messages.h"

namespace brevo {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::string_view kToolName = "brevo-verify";
// The project's documentation, on the host its other identifiers use.
constexpr std::string_view kInformationUri = "https://brevo-verifier.invalid/docs/";
// Relative file names are relative to the directory brevo-verify ran in, which SARIF knows by
// this name.
constexpr std::string_view kRunDirectory = "SRCROOT";
// Where the packages install docs/findings.schema.json, whose $id this is.
constexpr std::string_view kSchemaId = "file:///usr/share/brevo-verify/findings.schema.json";

std::string_view severityName(Severity severity) {
    switch (severity) {
        case Severity::Alert:
            return "alert";
        case Severity::Warning:
            return "warning";
        case Severity::Error:
            break;
    }
    return "error";
}

Json lineOrNull(std::optional<std::uint32_t> line) {
    return line ? Json(*line) : Json(nullptr);
}

Json findingJson(const Finding& finding, const PairOutcome& outcome) {
    Json json;
    json["number"] = finding.number;
    json["severity"] = severityName(finding.severity);
    json["messageId"] = finding.messageId;
    json["message"] = messageUtf8(finding, outcome);
    json["sourceLine"] = lineOrNull(lineOf(finding, Side::Source));
    json["targetLine"] = lineOrNull(lineOf(finding, Side::Target));
    return json;
}

Json pairJson(const PairRecord& pair) {
    const PairOutcome& outcome = pair.outcome;
    Json json;
    json["sourceFile"] = asUtf8(pair.sourcePath);
    json["targetFile"] = asUtf8(pair.targetPath);
    json["status"] = {{"code", static_cast<std::int32_t>(outcome.status)},
                      {"name", statusName(outcome.status)}};
    json["errors"] = outcome.counts.errors;
    json["alerts"] = outcome.counts.alerts;
    json["warnings"] = outcome.counts.warnings;
    json["report"] = outcome.reportWritten ? Json(asUtf8(pair.reportPath)) : Json(nullptr);
    Json findings = Json::array();
    for (const Finding& finding : outcome.findings)
        findings.push_back(findingJson(finding, outcome));
    json["findings"] = std::move(findings);
    return json;
}

// A file name as a URI reference: relative names stay relative, every byte that a URI may not
// hold is percent-encoded. URIs separate with "/" on every platform; on Windows a name that
// starts with a drive is absolute.
std::string uriOf(const std::string& path) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string name = path;
    std::replace(name.begin(), name.end(), kDirSeparator, '/');
    const bool drive = kDirSeparator != '/' && name.size() >= 3 &&
                       std::isalpha(static_cast<unsigned char>(name[0])) && name[1] == ':' &&
                       name[2] == '/';
    std::string uri = name.starts_with('/') ? "file://" : drive ? "file:///" : "";
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const auto byte = static_cast<unsigned char>(c);
        const bool keep = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                          (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                          c == '~' || c == '/' || (drive && i == 1);
        if (keep) {
            uri += c;
        } else {
            uri += '%';
            uri += kHex[byte >> 4];
            uri += kHex[byte & 15];
        }
    }
    return uri;
}

Json location(const std::string& path, std::optional<std::uint32_t> line) {
    Json physical;
    const std::string uri = uriOf(path);
    physical["artifactLocation"] = {{"uri", uri}};
    if (!uri.starts_with("file:")) physical["artifactLocation"]["uriBaseId"] = kRunDirectory;
    if (line) physical["region"] = {{"startLine", *line}};
    return Json{{"physicalLocation", std::move(physical)}};
}

// A message id as a rule: a name, a sentence without the finding's values, and the message's
// text with SARIF's placeholders, which each result fills with its arguments.
Json sarifRuleJson(std::int32_t messageId) {
    const auto id = static_cast<MessageId>(messageId);
    const std::optional<SarifRule> rule = sarifRule(id);
    Json json;
    json["id"] = std::to_string(messageId);
    json["name"] = rule ? std::string(rule->name) : "Message" + std::to_string(messageId);
    json["shortDescription"] = {{"text", rule ? std::string(rule->description)
                                              : withoutNumberAndSeverity(messageText(id))}};
    json["messageStrings"] = {{"default", {{"text", asUtf8(sarifMessageString(messageText(id)))}}}};
    return json;
}

Json sarifMessage(const Finding& finding, const PairOutcome& outcome) {
    Json arguments = Json::array();
    for (const std::string& argument :
         sarifArguments(messageText(static_cast<MessageId>(finding.messageId)), finding.arguments))
        arguments.push_back(findingTextUtf8(argument, finding, outcome));
    return {{"text", messageUtf8(finding, outcome)},
            {"id", "default"},
            {"arguments", std::move(arguments)}};
}

// The directory brevo-verify runs in, as the base of relative file names; nothing when it
// cannot be known.
std::optional<Json> runDirectoryBase() {
    std::error_code error;
    const std::filesystem::path directory = std::filesystem::current_path(error);
    if (error) return std::nullopt;
    const std::u8string name = directory.u8string();
    const std::string uri = uriOf(withTrailingSeparator(std::string(name.begin(), name.end())));
    if (!uri.starts_with("file:")) return std::nullopt;
    return Json{{kRunDirectory, {{"uri", uri}}}};
}

// Located in the file the finding is about, at its line where there is one; a finding of the
// comparison also points to the source's line.
Json sarifResult(const Finding& finding, const PairRecord& pair, std::size_t ruleIndex) {
    const auto sourceLine = lineOf(finding, Side::Source);
    const auto targetLine = lineOf(finding, Side::Target);
    const bool onTarget = finding.file == Side::Target;
    Json result;
    result["ruleId"] = std::to_string(finding.messageId);
    result["ruleIndex"] = ruleIndex;
    result["level"] = diagnosticLevel(finding.severity);
    result["message"] = sarifMessage(finding, pair.outcome);
    result["locations"] = Json::array({onTarget ? location(asUtf8(pair.targetPath), targetLine)
                                                : location(asUtf8(pair.sourcePath), sourceLine)});
    if (onTarget && sourceLine) {
        Json related = location(asUtf8(pair.sourcePath), sourceLine);
        related["id"] = 0;
        related["message"] = {{"text", "The source file"}};
        result["relatedLocations"] = Json::array({std::move(related)});
    }
    return result;
}

// A pair that was not fully verified, as a notification where the translated file is.
Json failureNotification(const PairRecord& pair, const std::string& reason) {
    Json notification;
    notification["descriptor"] = {{"id", statusName(pair.outcome.status)}};
    notification["level"] = "error";
    notification["message"] = {{"text", asUtf8(reason)}};
    notification["locations"] = Json::array({location(asUtf8(pair.targetPath), std::nullopt)});
    return notification;
}

// The run succeeded only when every pair was fully verified and the batch was not stopped.
Json invocation(const BatchResult& result) {
    Json notifications = Json::array();
    for (const PairRecord& pair : result.pairs) {
        const std::string reason = failureReason(pair.outcome);
        if (!reason.empty()) notifications.push_back(failureNotification(pair, reason));
    }
    Json json;
    json["executionSuccessful"] = !result.stopped && notifications.empty();
    if (!notifications.empty()) json["toolExecutionNotifications"] = std::move(notifications);
    return json;
}

}  // namespace

Json findingsJson(const BatchResult& result, std::string_view version) {
    Json json;
    json["$schema"] = kSchemaId;
    json["tool"] = {{"name", kToolName}, {"version", version}};
    json["files"] = result.fileCount;
    json["stopped"] = result.stopped;
    Json pairs = Json::array();
    for (const PairRecord& pair : result.pairs) pairs.push_back(pairJson(pair));
    json["pairs"] = std::move(pairs);
    return json;
}

Json findingsSarif(const BatchResult& result, std::string_view version) {
    // One rule a message id, in the order they first occur.
    std::map<std::int32_t, std::size_t> ruleIndex;
    Json rules = Json::array();
    Json results = Json::array();
    for (const PairRecord& pair : result.pairs) {
        for (const Finding& finding : pair.outcome.findings) {
            auto [at, added] = ruleIndex.try_emplace(finding.messageId, rules.size());
            if (added) rules.push_back(sarifRuleJson(finding.messageId));
            results.push_back(sarifResult(finding, pair, at->second));
        }
    }
    Json driver;
    driver["name"] = kToolName;
    driver["version"] = version;
    driver["informationUri"] = kInformationUri;
    driver["rules"] = std::move(rules);
    Json run;
    run["tool"] = {{"driver", std::move(driver)}};
    if (auto base = runDirectoryBase()) run["originalUriBaseIds"] = std::move(*base);
    run["invocations"] = Json::array({invocation(result)});
    run["results"] = std::move(results);
    Json log;
    log["$schema"] = "https://json.schemastore.org/sarif-2.1.0.json";
    log["version"] = "2.1.0";
    log["runs"] = Json::array({std::move(run)});
    return log;
}

std::string documentText(const Json& document) {
    return document.dump(2) + "\n";
}

void writeDocument(const std::string& path, const Json& document) {
    if (path == "-") {
        if (const int error = writeAndFlush(stdout, documentText(document))) {
            failFile(error, "standard output");
        }
        return;
    }
    writeWholeFile(path, documentText(document));
}

}  // namespace brevo
