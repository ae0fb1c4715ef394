#include "verify/verification_run.h"

#include <exception>
#include <filesystem>
#include <new>
#include <system_error>

#include "base/path_lookup.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "report/date_time.h"
#include "report/report_file.h"
#include "report/rtf_report_file.h"
#include "verify/external_comparison.h"
#include "verify/external_positioning.h"
#include "verify/external_structure.h"
#include "verify/internal_comparison.h"
#include "verify/internal_tags.h"
#include "verify/japanese_check.h"
#include "verify/lexical_check.h"
#include "verify/validity_check.h"

namespace brevo {
namespace {

const std::string kDashLine(69, '-');

constexpr std::string_view kCorrectionNote1 =
    "Errors reported in this section may correspond to problems reported below.";
constexpr std::string_view kCorrectionNote2 =
    "Correct the problems, using the information in this section as a reference, and run The "
    "Brevo Verifier again.\n";

}  // namespace

std::string underlineFor(std::string_view heading) {
    if (heading.starts_with('\n')) heading.remove_prefix(1);
    return std::string(heading.size(), '=') + "\n";
}

VerificationRun::VerificationRun(VerifyJob& job, RunProgress& progress)
    : job_(job),
      progress_(progress),
      writer_(report_, job.options.fileFormat == FileFormat::Rtf, job.languages),
      findings_(writer_),
      targetDir_(job.targetDir),
      baseName_(job.baseName),
      extension_(job.extension),
      sourceDir_(job.sourceDir) {}

void VerificationRun::skipRemainingSteps() {
    for (; stepsLeft_ > 0; --stepsLeft_) progress_.skipStep();
}

void VerificationRun::progressStep() {
    --stepsLeft_;
    if (!progress_.step()) throw RunStopped{VerifyStatus::Cancelled};
}

PairOutcome VerificationRun::run() {
    reportNeeded_ = false;
    progressStep();
    startTargetLoad();
    checkSource();
    checkTarget();
    compare();
    return {VerifyStatus::Completed, counts(), std::nullopt};
}

PairOutcome verifyPair(VerifyJob& job, RunProgress& progress) {
    PairOutcome outcome;
    std::optional<VerificationRun> run;
    try {
        run.emplace(job, progress);
        outcome = run->run();
    } catch (const RunStopped& stop) {
        outcome.status = stop.status;
    } catch (const BrxFailure& failure) {
        outcome.status = statusOf(failure.error);
    } catch (const FileFailure& failure) {
        outcome.status = VerifyStatus::FileError;
        outcome.fileFailure = failure;
    } catch (const std::bad_alloc&) {
        outcome.status = VerifyStatus::OutOfMemory;
    } catch (const std::exception&) {
        // Nothing else is expected; an unknown status stops the batch rather than the program.
        outcome.status = VerifyStatus::UnknownError;
    }
    if (run) {
        outcome.counts = run->counts();
        run->skipRemainingSteps();
    }
    return outcome;
}

void VerificationRun::loadFile(const std::string& path, BrxDocument& document) {
    // Lines are cut into segments as they are read, so a file's lines are never all held.
    readBrxSegments(resolvePathIgnoringCase(path), job_.options.fileFormat, job_.languages,
                    document);
    progressStep();
    progressStep();
}

// Reading the target does not depend on the source, so a large one is read on a thread of its
// own while the source is read and checked; its result, or its failure, is taken where the
// target's turn comes. When it has no lexical fault, that thread also does the part of its
// checks that needs neither the source nor the report. A small target is read in its turn,
// as a thread would cost more than it saves.
void VerificationRun::startTargetLoad() {
    const std::string path = targetDir_ + baseName_ + extension_;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(resolvePathIgnoringCase(path), error);
    const bool ahead = !error && size >= job_.options.readTargetAheadFrom;
    auto load = [path, ahead, format = job_.options.fileFormat]() {
        LoadedFile file;
        file.header.sourceLanguage.clear();
        BrxDocument& document = file.document;
        try {
            readBrxSegments(resolvePathIgnoringCase(path), format, file.header, document);
        } catch (...) {
            file.failure = std::current_exception();
            return file;
        }
        file.prepared = ahead && isLexicallyClean(document.segments);
        if (file.prepared) {
            file.addedTagCount = classifyTargetExternalTags(document.segments);
            extractInternalTags(document.segments, document.internalTags);
        }
        return file;
    };
    if (ahead) {
        try {
            targetLoad_ = std::async(std::launch::async, load);
            return;
        } catch (const std::system_error&) {
            // No thread to be had: the target is read in its turn, as a small one is.
        }
    }
    targetLoad_ = std::async(std::launch::deferred, std::move(load));
}

void VerificationRun::takeTarget() {
    LoadedFile file = targetLoad_.get();
    // The target's header language stands as the source language from here on, as it would
    // had the target been read now.
    if (!file.header.sourceLanguage.empty()) {
        job_.languages.sourceLanguage = std::move(file.header.sourceLanguage);
        job_.languages.sourceCodePage = file.header.sourceCodePage;
    }
    if (file.failure) std::rethrow_exception(file.failure);
    target_ = std::move(file.document);
    targetPrepared_ = file.prepared;
    targetAddedTagCount_ = file.addedTagCount;
    progressStep();
    progressStep();
}

void VerificationRun::checkSource() {
    loadFile(sourceDir_ + baseName_ + extension_, source_);
    addHeader();

    section("\nVerify external source tags",
            [&] { checkLexical(source_.segments, source_.text, findings_); });
    if (findings_.messageCount != 0) failIfAnyMessage(true);

    section("\nVerify validity of source tags", [&] {
        classifyExternalTags(source_.segments, true, findings_, addedTagCount_);
        progressStep();
        prefillTagCounts(tagCounts_);
        checkSourceValidity(tagCounts_, source_.segments, source_.internalTags, findings_);
        progressStep();
    });
    section("\nVerify positioning of external source tags", [&] {
        checkExternalPositioning(source_.segments, findings_);
        progressStep();
    });
    section("\nVerify structure of external source tags", [&] {
        checkExternalStructure(source_.segments, findings_);
        progressStep();
    });
    classifySourceInternalTags();
    progressStep();
    section("\nVerify positioning of internal source tags", [&] {
        checkInternalPairing(source_.segments, source_.internalTags, findings_);
        progressStep();
    });
    section("\nVerify structure of internal source tags", [&] {
        checkInternalStructure(source_.segments, source_.internalTags, findings_);
        progressStep();
    });
}

void VerificationRun::checkTarget() {
    findings_.dumpStyle = kTargetStyle;
    takeTarget();

    section("\nVerify external target tags", [&] {
        if (!targetPrepared_) checkLexical(target_.segments, target_.text, findings_);
        progressStep();
    });
    // Any message so far, of the source or of the target's form, ends the pair here.
    if (findings_.messageCount != 0) failIfAnyMessage(false);

    section("\nVerify validity of target tags", [&] {
        if (targetPrepared_) {
            addedTagCount_ += targetAddedTagCount_;
        } else {
            classifyExternalTags(target_.segments, false, findings_, addedTagCount_);
            extractInternalTags(target_.segments, target_.internalTags);
        }
        progressStep();
        countTargetTags(tagCounts_, target_.segments, target_.internalTags, findings_);
        progressStep();
    });
    section("\nVerify positioning of external target tags", [&] {
        checkExternalPositioning(target_.segments, findings_);
        progressStep();
    });
    section("\nVerify structure of external target tags", [&] {
        checkExternalStructure(target_.segments, findings_);
        progressStep();
    });
    section("\nVerify positioning of internal target tags", [&] {
        checkInternalPairing(target_.segments, target_.internalTags, findings_);
        progressStep();
    });
    section("\nVerify structure of internal target tags", [&] {
        checkInternalStructure(target_.segments, target_.internalTags, findings_);
        progressStep();
    });
    if (isJapanese(job_.languages.targetLanguage)) {
        checkJapaneseCharacters(target_.segments, findings_);
    }
}

void VerificationRun::compare() {
    // The tag count reports make their headings appear but take no part in the numbering.
    int countBefore = findings_.messageCount;
    section("\nExternal tags report",
            [&] {
                reportExternalTagCounts(tagCounts_, findings_);
                progressStep();
            },
            {kCorrectionNote1, kCorrectionNote2});
    if (findings_.messageCount != countBefore) {
        reportNeeded_ = true;
        findings_.messageCount = countBefore;
    }

    section("\nAdded External tags report",
            [&] {
                reportAddedExternalTags(target_.segments, findings_);
                progressStep();
            },
            {"\nINFO: The following external tag(s) have been added in the translated file.\n"});

    std::string addedNote;
    if (addedTagCount_ != 0) {
        addedNote =
            formatText("Note: %d external tag(s) added using the <#...> syntax.\n",
                       std::initializer_list<MessageArg>{static_cast<long long>(addedTagCount_)});
    }
    auto comparison = [&] {
        compareExternalTags(source_.segments, target_.segments, findings_);
        progressStep();
    };
    if (addedTagCount_ != 0) {
        section("\nComparing external tags", comparison, {addedNote});
    } else {
        section("\nComparing external tags", comparison);
    }

    countBefore = findings_.messageCount;
    section("\nInternal Tags Report",
            [&] {
                reportInternalTagCounts(tagCounts_, findings_);
                progressStep();
            },
            {kCorrectionNote1, kCorrectionNote2});
    findings_.messageCount = countBefore;

    linkInternalTags(source_);
    linkInternalTags(target_);
    section("\nComparing internal tags", [&] {
        compareInternalTags(source_, target_, findings_);
        progressStep();
    });

    if (findings_.messageCount != 0) reportNeeded_ = true;
    writeReport(job_.reportPath());
}

void VerificationRun::failIfAnyMessage(bool sourceNotes) {
    if (sourceNotes) {
        findings_.addLine("\nNote: You should never get verification errors in the source file.");
        findings_.addLine("The source file is invalid.");
    }
    reportNeeded_ = true;
    writeReport(job_.reportPath());
    throw RunStopped{VerifyStatus::NotFullyCompared};
}

void VerificationRun::addHeader() {
    findings_.addLine(kDashLine);
    findings_.addLine("Verification Report generated by The Brevo Verifier");
    findings_.addLine("Date/Time: " + longDateTimeNow());
    findings_.addLine("Source File: " + sourceDir_ + baseName_ + extension_);
    findings_.addLine("Target File: " + targetDir_ + baseName_ + extension_);
    // The totals go after this line once they are known; holding it keeps it at hand.
    totalsAnchor_ = report_.last();
    findings_.addLine(kDashLine + "\n");
}

void VerificationRun::section(std::string_view heading, const std::function<void()>& pass,
                              std::initializer_list<std::string_view> notes) {
    const int countBefore = findings_.messageCount;
    const auto noted = report_.last();
    pass();
    if (findings_.messageCount != countBefore && noted) insertHeading(*noted, heading, notes);
}

ReportLog::Position VerificationRun::insertHeading(ReportLog::Position after,
                                                   std::string_view heading,
                                                   std::initializer_list<std::string_view> notes) {
    after = writer_.addReportLine(heading, false, kReportStyle, after);
    after = writer_.addReportLine(underlineFor(heading), false, kReportStyle, after);
    for (std::string_view note : notes) {
        after = writer_.addReportLine(note, false, kReportStyle, after);
    }
    return after;
}

void VerificationRun::classifySourceInternalTags() {
    for (InternalTag& tag : source_.internalTags) {
        if (auto match = classifyTag(tag.text)) {
            tag.id = match->id;
            tag.tagClass = match->tagClass;
        }
    }
}

void VerificationRun::linkInternalTags(BrxDocument& document) {
    std::int32_t ordinal = 0;
    std::size_t next = 0;
    const std::size_t tagCount = document.internalTags.size();
    for (std::size_t position = 0; position < document.segments.size() && next < tagCount;
         ++position) {
        const Segment& segment = document.segments[position];
        if (!segment.added) ++ordinal;
        for (; next < tagCount && document.internalTags[next].externalTag == position; ++next) {
            InternalTag& tag = document.internalTags[next];
            tag.segmentOrdinal = ordinal;
            tag.excluded = tag.tagClass == TagClass::Formatting ? true : segment.added;
        }
    }
}

void VerificationRun::addTotals() {
    if (!totalsAnchor_) return;
    auto insertCount = [&](const char* pattern, int count) {
        if (count <= 0) return;
        MessageArg arg = static_cast<long long>(count);
        writer_.addReportLine(formatText(pattern, std::span<const MessageArg>(&arg, 1)), false,
                              kReportStyle, *totalsAnchor_);
    };
    insertCount("Warnings: %d", findings_.warningCount);
    insertCount("Alerts: %d", findings_.alertCount);
    insertCount("Errors: %d", findings_.errorCount());
}

void VerificationRun::writeReport(const std::string& path) {
    if (!reportNeeded_) return;
    addTotals();
    if (findings_.errorCount() > 0) {
        findings_.addLine("\n" + std::string(64, '*'));
        findings_.addLine(
            "The file contains errors that must be corrected before it can be converted!");
        findings_.addLine("Fix the problem(s) and run The Brevo Verifier again.");
        findings_.addLine(std::string(64, '*') + "\n");
    }
    if (job_.options.fileFormat == FileFormat::Rtf) {
        writeRtfReport(path, report_, job_.options.rtfPageSize == 0, job_.languages.sourceCodePage,
                       job_.languages.targetCodePage, true);
    } else {
        writeTextReport(path, report_);
    }
}

}  // namespace brevo
