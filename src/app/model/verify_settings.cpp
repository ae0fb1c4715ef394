#include "app/model/verify_settings.h"

namespace brevo::app {

VerifySettings defaultSettings(const std::string& homeDirectory) {
    VerifySettings settings;
    settings.sourceFilesPath = settings.orgFilesPath = settings.translatedFilesPath = homeDirectory;
    return settings;
}

}  // namespace brevo::app
