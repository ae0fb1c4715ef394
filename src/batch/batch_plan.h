#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/file_selection.h"
#include "batch/verify_batch.h"

namespace brevo {

inline constexpr std::string_view kNoSuchDirectoryMessage =
    "The path you entered doesn't exist. Please try again.";
inline constexpr std::string_view kSeveralDirectoriesMessage =
    "All translated files must be in one directory.";

// Why a source directory cannot serve a batch.
enum class SourceProblem { None, Missing, SameAsTarget };

// A batch as every face plans it, in two steps because the window asks for the source
// directory only once it has shown how many files were chosen.
struct BatchPlan {
    // The translated files checked and ordered, their directory as the target, the format of
    // their extension in the options; the source directory once it was taken.
    BatchRequest request;
    std::vector<RejectedFile> rejected;
    // Some file lies in another directory than the first accepted one; it is left out.
    bool severalDirectories = false;
};

// The files the user named (see selectFiles), with `options` carrying everything else a batch
// needs: options, languages, jobs. Without a format the first name's extension decides it.
BatchPlan planFiles(std::vector<std::string> names, std::optional<FileFormat> format,
                    BatchRequest options);

// Whether `path` names an existing directory; an empty name names none.
bool isExistingDirectory(const std::string& path);

// A source directory must exist and must not be the target directory under any spelling.
SourceProblem checkSourceDirectory(const std::string& sourceDir, const std::string& targetDir);

// Takes `sourceDir` into the plan, spelled with its final separator, after checking it;
// on a problem the plan is left as it was.
SourceProblem takeSourceDirectory(BatchPlan& plan, const std::string& sourceDir);

}  // namespace brevo
