#pragma once

#include <cstdint>
#include <string>

#include "brx/brx_loader.h"
#include "brx/language_table.h"
#include "report/rtf_report_file.h"

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
    PageSize pageSize = PageSize::A4;  // of RTF reports
    bool overwriteFiles = false;
    FileFormat fileFormat = FileFormat::Text;
    HandedOnOptions handedOn;
    // Keep every finding of a pair as a record, for what pipelines read.
    bool keepFindings = false;
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

// Whoever drives a run hears of each of its 24 progress steps; the answer to a step carries
// the wish to cancel.
class RunProgress {
public:
    virtual ~RunProgress() = default;
    // One step done; false asks the run to stop.
    virtual bool step() = 0;
    // A step the run did not reach because it ended early; it only moves the batch on.
    virtual void skipStep() = 0;
};

// Progress that nobody watches.
class NoProgress : public RunProgress {
public:
    bool step() override { return true; }
    void skipStep() override {}
};

}  // namespace brevo
