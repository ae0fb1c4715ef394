#include "batch/batch_plan.h"

#include <utility>

#include "base/file_names.h"
#include "base/file_status.h"

namespace brevo {

BatchPlan planFiles(std::vector<std::string> names, std::optional<FileFormat> format,
                    BatchRequest options) {
    FileSelection selection = selectFiles(std::move(names), format);
    BatchPlan plan;
    plan.request = std::move(options);
    plan.rejected = std::move(selection.rejected);
    plan.severalDirectories = selection.severalDirectories;
    plan.request.options.fileFormat = selection.format;
    plan.request.files = std::move(selection.files);
    plan.request.targetDir = std::move(selection.directory);
    plan.request.sourceDir.clear();
    orderSelection(plan.request.files);
    return plan;
}

bool isExistingDirectory(const std::string& path) {
    return !path.empty() && fileKind(path) == FileKind::Directory;
}

SourceProblem checkSourceDirectory(const std::string& sourceDir, const std::string& targetDir) {
    // Equal texts first: that is the user's slip, whether the directory exists or not.
    if (!sourceDir.empty() && sameDirectory(sourceDir, targetDir)) {
        return SourceProblem::SameAsTarget;
    }
    if (!isExistingDirectory(sourceDir)) return SourceProblem::Missing;
    return SourceProblem::None;
}

SourceProblem takeSourceDirectory(BatchPlan& plan, const std::string& sourceDir) {
    const SourceProblem problem = checkSourceDirectory(sourceDir, plan.request.targetDir);
    if (problem == SourceProblem::None) {
        plan.request.sourceDir = withTrailingSeparator(withNativeSeparators(sourceDir));
    }
    return problem;
}

}  // namespace brevo
