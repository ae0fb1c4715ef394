#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_failure.h"
#include "brx/document.h"
#include "brx/file_format.h"
#include "brx/language_table.h"

namespace brevo {

// Reads the BRX file at `path` and cuts its lines into segments, one per external tag, each
// with the text up to the next one, without ever holding all lines: each line is cut as it
// is read. The header's language becomes the source language of `languages`. Fails with a
// BrxError (BrxFailure) or a FileFailure; after a failure the document may hold part of the
// file.
void readBrxSegments(const std::string& path, FileFormat format, LanguageSettings& languages,
                     BrxDocument& document);

namespace detail {
// readBrxSegments, mapping a text file in place when it has at least `mapFilesFrom` bytes.
void readBrxSegments(const std::string& path, FileFormat format, LanguageSettings& languages,
                     BrxDocument& document, std::uint64_t mapFilesFrom);

// The steps of readBrxSegments one at a time, with every line held: the plain model that the
// streaming reader is checked against.

// Appends the lines of the BRX file at `path` to `lines` and validates its four header lines.
// The header's language becomes the source language of `languages`. Fails with a BrxError
// (BrxFailure) or a FileFailure.
void readBrxFile(const std::string& path, FileFormat format, LanguageSettings& languages,
                 std::vector<std::string>& lines);

// Hands the lines of the file at `path` to `onLine` one by one, decoding RTF when asked. Fails
// like readBrxFile, except that the header is not looked at.
void readLines(const std::string& path, FileFormat format,
               const std::function<void(std::string_view)>& onLine);

// Checks the four header lines; the language name goes to `languages`.
void validateHeader(const std::vector<std::string>& lines, LanguageSettings& languages);

// Cuts the lines into segments, one per external tag, each with the text up to the next one.
void segmentLines(const std::vector<std::string>& lines, BrxDocument& document);
}  // namespace detail

}  // namespace brevo
