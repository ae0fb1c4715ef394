#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/file_failure.h"

namespace brevo {

// Reads a BRX file stored as RTF and appends its plain text lines to `lines`: the text with its
// tags, without formatting, hidden text or skipped destinations. Each "\par" ends a line.
// Fails with NotRtf or one of the RTF decoder errors (BrxFailure), or with a FileFailure;
// on any failure `lines` is left as it was.
void readRtfLines(const std::string& path, std::vector<std::string>& lines);

// The same, handing each line to `onLine` as soon as it is complete; after a failure some
// lines may have been handed over already.
void readRtfLines(const std::string& path, const std::function<void(std::string_view)>& onLine);

}  // namespace brevo
