#include "verify/verification_run.h"

#include <cstdint>
#include <exception>
#include <new>
#include <system_error>

#include "base/code_page.h"
#include "base/file_status.h"
#include "base/path_lookup.h"
#include "brx/brx_loader.h"
#include "brx/failure.h"
#include "report/date_time.h"
#include "report/report_file.h"
#include "report/report_layout.h"
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

constexpr std::string_view kCorrectionNote1 =
    "Errors reported in this section may correspond to problems reported below.";
constexpr std::string_view kCorrectionNote2 =
    "Correct the problems, using the information in this section as a reference, and run The "
    "Brevo Verifier again.\n";
constexpr std::string_view kAddedTagsInfo =
    "\nINFO: The following external tag(s) have been added in the translated file.\n";
constexpr std::string_view kAddedSyntaxNote =
    "Note: %d external tag(s) added using the <#...> syntax.\n";
constexpr std::string_view kSourceInvalidNote1 =
    "\nNote: You should never get verification errors in the source file.";
constexpr std::string_view kSourceInvalidNote2 = "The source file is invalid.";

}  // namespace

std::string detail::underlineFor(std::string_view heading) {
    if (heading.starts_with('\n')) heading.remove_prefix(1);
    return std::string(heading.size(), '=') + "\n";
}

VerificationRun::VerificationRun(VerifyJob& job, RunProgress& progress)
    : job_(job),
      progress_(progress),
      writer_(report_, job.options.fileFormat, job.languages),
      findings_(writer_),
      layout_(writer_) {
    findings_.knowSegments(Side::Source, source_.segments, &source_.segmentLines,
                           &source_.lineGaps);
    if (job.options.keepFindings) {
        findings_.onFinding([this](const Finding& finding) { kept_.push_back(finding); });
    }
}

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
    PairOutcome outcome;
    outcome.status = VerifyStatus::Completed;
    outcome.counts = counts();
    return outcome;
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
        // A pair's findings are those of its report: a run that ends before writing one, as
        // when the target cannot be read after the source's checks found something, has none.
        outcome.reportWritten = run->reportWritten();
        if (outcome.reportWritten) {
            outcome.counts = run->counts();
            outcome.findings = run->takeFindings();
        }
        run->skipRemainingSteps();
    }
    outcome.sourceCodePage = job.languages.sourceCodePage;
    outcome.targetCodePage = job.languages.targetCodePage;
    return outcome;
}

void VerificationRun::loadFile(const std::string& path, BrxDocument& document) {
    // Lines are cut into segments as they are read, so a file's lines are never all held.
    readBrxSegments(resolvePathIgnoringCase(path), job_.options.fileFormat, job_.languages,
                    document);
    progressStep();
    progressStep();
}

// The target read, with its failure kept for its turn; read `ahead`, its own part of the checks
// is done too.
VerificationRun::LoadedFile VerificationRun::readTarget(const std::string& path, FileFormat format,
                                                        bool ahead) {
    LoadedFile file;
    file.header.sourceLanguage.clear();
    BrxDocument& document = file.document;
    try {
        readBrxSegments(path, format, file.header, document);
    } catch (...) {
        file.failure = std::current_exception();
        return file;
    }
    file.prepared = ahead && document.tagsFound;
    if (file.prepared) file.addedTagCount = classifyTargetExternalTags(document.segments);
    return file;
}

// Reading the target does not depend on the source, so a large one is read on a thread of its
// own while the source is read and checked; its result, or its failure, is taken where the
// target's turn comes. When it has no lexical fault, that thread also does the part of its
// checks that needs neither the source nor the report. A small target is read in its turn,
// as a thread would cost more than it saves.
void VerificationRun::startTargetLoad() {
    std::string path = resolvePathIgnoringCase(job_.targetPath());
    const std::optional<std::uint64_t> size = fileSize(path);
    if (size && *size >= job_.options.readTargetAheadFrom) {
        try {
            targetLoad_ =
                std::async(std::launch::async, readTarget, path, job_.options.fileFormat, true);
            return;
        } catch (const std::system_error&) {
            // No thread to be had: the target is read in its turn, as a small one is.
        }
    }
    targetInTurn_ = std::move(path);
}

void VerificationRun::takeTarget() {
    LoadedFile file = targetLoad_.valid()
                          ? targetLoad_.get()
                          : readTarget(targetInTurn_, job_.options.fileFormat, false);
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
    loadFile(job_.sourcePath(), source_);
    layout_.writeHeader(longDateTimeNow(), nameInReport(job_.sourcePath()),
                        nameInReport(job_.targetPath()));

    // The loader finds the internal tags of a file whose brackets are in order, and then the
    // lexical pass has nothing to report; only a file that is not needs it.
    section(Heading::SourceLexical, [&] {
        if (!source_.tagsFound) checkLexical(source_.segments, source_.text, findings_);
    });
    if (findings_.numbered() != 0) failIfAnyMessage(Side::Source);

    section(Heading::SourceValidity, [&] {
        classifyExternalTags(source_.segments, Side::Source, findings_, addedTagCount_);
        progressStep();
        tagCounts_ = prefilledTagCounts();
        countSourceTags(tagCounts_, source_.segments, source_.internalTags, findings_);
        progressStep();
    });
    section(Heading::SourceExternalPositioning, [&] {
        checkExternalPositioning(source_.segments, findings_);
        progressStep();
    });
    section(Heading::SourceExternalStructure, [&] {
        checkExternalStructure(source_.segments, findings_);
        progressStep();
    });
    // The source's internal tags already carry the vocabulary's id and class: counting gave
    // them those of their entries, and every entry, prefilled ones included, has its text's.
    progressStep();
    section(Heading::SourceInternalPositioning, [&] {
        checkInternalPairing(source_.segments, source_.internalTags, findings_);
        progressStep();
    });
    section(Heading::SourceInternalStructure, [&] {
        checkInternalStructure(source_.segments, source_.internalTags, findings_);
        progressStep();
    });
}

// The report's own text is in the source's code page. A name with a character that code page
// lacks keeps its bytes: some readers at least can show those.
std::string VerificationRun::nameInReport(const std::string& path) const {
    return codePageFromUtf8(path, job_.languages.sourceCodePage).value_or(path);
}

void VerificationRun::checkTarget() {
    findings_.quoteFrom(Side::Target);
    takeTarget();
    findings_.knowSegments(Side::Target, target_.segments, &target_.segmentLines,
                           &target_.lineGaps);

    section(Heading::TargetLexical, [&] {
        if (!target_.tagsFound) checkLexical(target_.segments, target_.text, findings_);
        progressStep();
    });
    // Any message so far, of the source or of the target's form, ends the pair here.
    if (findings_.numbered() != 0) failIfAnyMessage(Side::Target);

    section(Heading::TargetValidity, [&] {
        if (targetPrepared_) {
            addedTagCount_ += targetAddedTagCount_;
        } else {
            classifyExternalTags(target_.segments, Side::Target, findings_, addedTagCount_);
        }
        progressStep();
        countTargetTags(tagCounts_, target_.segments, target_.internalTags, findings_);
        progressStep();
    });
    section(Heading::TargetExternalPositioning, [&] {
        checkExternalPositioning(target_.segments, findings_);
        progressStep();
    });
    section(Heading::TargetExternalStructure, [&] {
        checkExternalStructure(target_.segments, findings_);
        progressStep();
    });
    section(Heading::TargetInternalPositioning, [&] {
        checkInternalPairing(target_.segments, target_.internalTags, findings_);
        progressStep();
    });
    section(Heading::TargetInternalStructure, [&] {
        checkInternalStructure(target_.segments, target_.internalTags, findings_);
        progressStep();
    });
    if (isJapanese(job_.languages.targetLanguage)) {
        checkJapaneseCharacters(target_.segments, findings_);
    }
}

void VerificationRun::compare() {
    // The tag count reports list lines that make their sections appear but count for nothing.
    const bool countsListed = section(Heading::ExternalTagsReport,
                                      [&] {
                                          reportExternalTagCounts(tagCounts_, findings_);
                                          progressStep();
                                      },
                                      {kCorrectionNote1, kCorrectionNote2});
    if (countsListed) reportNeeded_ = true;

    section(Heading::AddedExternalTagsReport,
            [&] {
                reportAddedExternalTags(target_.segments, findings_);
                progressStep();
            },
            {kAddedTagsInfo});

    std::vector<std::string> comparisonNotes;
    if (addedTagCount_ != 0) {
        comparisonNotes.push_back(
            formatText(kAddedSyntaxNote,
                       std::initializer_list<MessageArg>{static_cast<long long>(addedTagCount_)}));
    }
    section(Heading::ExternalComparison,
            [&] {
                compareExternalTags(source_.segments, target_.segments, findings_);
                progressStep();
            },
            {comparisonNotes.begin(), comparisonNotes.end()});

    section(Heading::InternalTagsReport,
            [&] {
                reportInternalTagCounts(tagCounts_, findings_);
                progressStep();
            },
            {kCorrectionNote1, kCorrectionNote2});

    linkInternalTags(source_);
    linkInternalTags(target_);
    section(Heading::InternalComparison, [&] {
        compareInternalTags(source_, target_, findings_);
        progressStep();
    });

    if (findings_.numbered() != 0) reportNeeded_ = true;
    writeReport();
}

void VerificationRun::failIfAnyMessage(Side checked) {
    if (checked == Side::Source) {
        findings_.note(kSourceInvalidNote1);
        findings_.note(kSourceInvalidNote2);
    }
    reportNeeded_ = true;
    writeReport();
    throw RunStopped{VerifyStatus::NotFullyCompared};
}

bool VerificationRun::section(Heading heading, const std::function<void()>& pass,
                              std::vector<std::string_view> notes) {
    const auto noted = report_.last();
    findings_.startSection();
    pass();
    if (!findings_.sectionOpened()) return false;
    if (noted) insertHeading(*noted, headingText(heading), notes);
    return true;
}

void VerificationRun::insertHeading(ReportLog::Position after, std::string_view heading,
                                    const std::vector<std::string_view>& notes) {
    after = writer_.addReportLine(heading, Marking::Plain, ParagraphStyle::Report, after);
    after = writer_.addReportLine(detail::underlineFor(heading), Marking::Plain,
                                  ParagraphStyle::Report, after);
    for (std::string_view note : notes) {
        after = writer_.addReportLine(note, Marking::Plain, ParagraphStyle::Report, after);
    }
}

void VerificationRun::linkInternalTags(BrxDocument& document) {
    std::int32_t ordinal = 0;
    std::size_t next = 0;
    const std::size_t tagCount = document.internalTags.size();
    for (std::size_t position = 0; position < document.segments.size(); ++position) {
        Segment& segment = document.segments[position];
        if (!segment.added) ++ordinal;
        segment.ordinal = ordinal;
        for (; next < tagCount && document.internalTags[next].externalTag == position; ++next) {
            InternalTag& tag = document.internalTags[next];
            tag.excluded = tag.tagClass == TagClass::Formatting ? true : segment.added;
        }
    }
}

// A large file is read in place; if another program shortened it meanwhile, what it lost read
// as zeros, and nothing found in them may stand.
void VerificationRun::failIfAFileShrank() const {
    if (source_.fileShrank()) throw FileFailure{FileErrorCause::EndOfFile, job_.sourcePath()};
    if (target_.fileShrank()) throw FileFailure{FileErrorCause::EndOfFile, job_.targetPath()};
}

void VerificationRun::writeReport() {
    failIfAFileShrank();
    if (!reportNeeded_) return;
    layout_.writeTotalsAndClosing(counts());
    if (job_.options.fileFormat == FileFormat::Rtf) {
        writeRtfReport(job_.reportPath(), report_,
                       RtfLayout{job_.options.pageSize, Orientation::Portrait,
                                 job_.languages.sourceCodePage, job_.languages.targetCodePage});
    } else {
        writeTextReport(job_.reportPath(), report_);
    }
    reportWritten_ = true;
}

}  // namespace brevo
