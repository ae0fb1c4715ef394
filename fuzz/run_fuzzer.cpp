// A whole verification of a pair. The first byte picks the options; the rest is the source up
// to the first 0xFF byte and the target after it.
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/file_failure.h"
#include "brx/failure.h"
#include "fuzz_support.h"
#include "verify/verification_run.h"
#include "verify/verify_job.h"

namespace {

using namespace brevo;

constexpr std::uint8_t kRtfFormat = 1;
constexpr std::uint8_t kJapaneseTarget = 2;
constexpr std::uint8_t kLetterPages = 4;
constexpr std::uint8_t kTargetReadAhead = 8;  // read on a thread, as large targets are

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) fuzz::fault("cannot write the pair");
}

VerifyJob makeJob(std::uint8_t flags) {
    VerifyJob job;
    job.baseName = "PAIR";
    job.options.fileFormat = (flags & kRtfFormat) ? FileFormat::Rtf : FileFormat::Text;
    job.extension = (flags & kRtfFormat) ? ".RTF" : ".TXT";
    job.options.pageSize = (flags & kLetterPages) ? PageSize::Letter : PageSize::A4;
    job.options.readTargetAheadFrom = (flags & kTargetReadAhead) ? 0 : UINTMAX_MAX;
    job.options.overwriteFiles = true;
    job.sourceDir = fuzz::scratchDirectory() + "source/";
    job.targetDir = fuzz::scratchDirectory() + "target/";
    setTargetLanguage(job.languages, (flags & kJapaneseTarget) ? "Japanese" : "German");
    return job;
}

VerifyStatus runPair(VerifyJob& job) {
    NoProgress progress;
    const PairOutcome outcome = verifyPair(job, progress);
    if (outcome.fileFailure) fuzz::fault("file failure on a readable pair");
    return outcome.status;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view bytes = fuzz::asBytes(data + 1, size - 1);
    const std::size_t split = bytes.find('\xff');
    VerifyJob job = makeJob(data[0]);
    std::filesystem::create_directories(job.sourceDir);
    std::filesystem::create_directories(job.targetDir);
    writeFile(job.sourcePath(), bytes.substr(0, split));
    writeFile(job.targetPath(),
              split == std::string_view::npos ? std::string_view() : bytes.substr(split + 1));
    std::filesystem::remove(job.reportPath());

    const VerifyStatus status = runPair(job);
    const bool reportWritten = std::filesystem::exists(job.reportPath());
    if (status == VerifyStatus::NotFullyCompared && !reportWritten) {
        fuzz::fault("a pair not fully compared without its report");
    }
    if (status != VerifyStatus::NotFullyCompared && status != VerifyStatus::Completed &&
        reportWritten) {
        fuzz::fault("a report for a pair that failed to load");
    }
    return 0;
}
