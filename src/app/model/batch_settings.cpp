#include "app/model/batch_settings.h"

#include <algorithm>
#include <thread>

namespace brevo::app {

FileFormat fileFormatOf(const VerifySettings& settings) {
    return settings.fileFormat;
}

BatchRequest batchRequestFrom(const VerifySettings& settings) {
    BatchRequest request;
    request.options.keepPathsDuringSession = settings.keepPathsDuringSession;
    request.options.pageSize = settings.rtfPageSize;
    request.options.overwriteFiles = settings.overwriteFiles;
    request.options.fileFormat = fileFormatOf(settings);
    request.options.handedOn = settings.handedOn;
    request.sourceLanguage = settings.sourceLanguage;
    request.targetLanguage = settings.targetLanguage;
    request.options.keepFindings = true;
    request.jobs = settings.pairsAtOnce > 0
                       ? settings.pairsAtOnce
                       : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    return request;
}

}  // namespace brevo::app
