#include "app/platform/session_guard.h"

#include <QGuiApplication>

#include "app/pages/verify_page.h"
#include "app/property_sheet.h"

namespace brevo::app {

SessionGuard::SessionGuard(QGuiApplication& application, CMyPropertySheet& sheet,
                           std::function<void()> keepSettings)
    : sheet_(sheet), keepSettings_(std::move(keepSettings)) {
    connect(&application, &QGuiApplication::commitDataRequest, this, &SessionGuard::sessionEnding,
            Qt::DirectConnection);
}

void SessionGuard::sessionEnding() {
    sheet_.verifyPage().stopBatch();
    keepSettings_();
}

}  // namespace brevo::app
