#pragma once

#include <string>
#include <vector>

namespace brevo {

// Reads a BRX file stored as RTF and appends its plain text lines to `lines`: the text with its
// tags, without formatting, hidden text or skipped destinations. Each "\par" ends a line.
// Fails with NotRtf or one of the RTF decoder statuses (StatusFailure), or with a FileFailure;
// on any failure `lines` is left as it was.
void readRtfLines(const std::string& path, std::vector<std::string>& lines);

}  // namespace brevo
