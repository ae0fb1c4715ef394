#pragma once

#include <cstdint>
#include <string>

#include "brx/brx_loader.h"
#include "brx/language_table.h"

namespace brevo {

// Options kept with the settings and handed on with every job, though no check reads them.
struct HandedOnOptions {
    int markerPlaceholders = 0;
    int characterSetText = 0;
    int sourceHyphenation = 0;
    int translationHyphenation = 1;
    int smartQuotes = 1;
    int readOnlyComponents = 1;
};

struct VerifyOptions {
    bool keepPathsDuringSession = false;
    // Targets from this size on are read on a thread of their own while the source is checked.
    std::uintmax_t readTargetAheadFrom = std::uintmax_t{1} << 20;
    int rtfPageSize = 0;  // 0 A4, anything else Letter
    bool overwriteFiles = false;
    FileFormat fileFormat = FileFormat::Text;
    HandedOnOptions handedOn;
};

// One record per batch. The batch sets the base name and extension before each pair; the
// loader leaves each header's language in `languages`, where the next pair starts from.
struct VerifyJob {
    std::string baseName;
    std::string extension;  // ".TXT" or ".RTF"
    std::string sourceDir;  // ends with the directory separator
    std::string targetDir;  // ends with the directory separator; reports go here too
    VerifyOptions options;
    LanguageSettings languages;

    std::string sourcePath() const { return sourceDir + baseName + extension; }
    std::string targetPath() const { return targetDir + baseName + extension; }
    std::string reportPath() const { return targetDir + baseName + ".CMP"; }
};

// What a run needs of whoever drives it: the progress bars, the cancel request, and a place
// for the counts of the finished pair.
class RunHost {
public:
    virtual ~RunHost() = default;
    // One of the 24 steps of a pair; `batchBarOnly` for steps left over when a run ends early.
    virtual void stepProgress(bool batchBarOnly) = 0;
    virtual bool cancelRequested() const = 0;
    virtual void storeCounts(int errors, int alerts, int warnings) = 0;
};

}  // namespace brevo
