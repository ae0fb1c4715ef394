#pragma once

#include <nlohmann/json.hpp>
#include <string_view>

#include "batch/verify_batch.h"

namespace brevo {

// The findings of a batch as one JSON document: per pair its files, its status, its counts,
// its report and every counted finding in report order with the lines it concerns. Texts are
// UTF-8, converted from the code page of the file they come from. docs/findings.schema.json
// describes it.
nlohmann::ordered_json findingsJson(const BatchResult& result, std::string_view version);

// The same findings as a SARIF 2.1.0 log, for code review systems that annotate files.
nlohmann::ordered_json findingsSarif(const BatchResult& result, std::string_view version);

// A document as it is written: indented, with a final line end.
std::string documentText(const nlohmann::ordered_json& document);

// Writes `document` to `path`, or to standard output for "-". The file takes its place only
// when complete. Throws FileFailure naming `path`, or "standard output".
void writeDocument(const std::string& path, const nlohmann::ordered_json& document);

}  // namespace brevo
