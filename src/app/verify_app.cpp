#include "app/verify_app.h"

#include <QDir>
#include <QFileInfo>
#include <QPixmap>

#include "app/app_texts.h"
#include "app/dialogs/splash_window.h"
#include "app/dialogs/system_dialogs.h"
#include "app/model/settings_rules.h"
#include "app/model/start_up.h"
#include "app/model/window_layout.h"
#include "app/platform/qt_settings_store.h"
#include "app/platform/qt_text.h"
#include "app/platform/session_guard.h"
#include "app/property_sheet.h"

// The pictures are compiled into a library, whose unreferenced parts the linker would drop.
static void loadPictures() {
    Q_INIT_RESOURCE(brevo_verifier);
}

namespace brevo::app {
namespace {

std::vector<std::string> programArguments() {
    std::vector<std::string> arguments;
    const QStringList all = QCoreApplication::arguments();
    for (qsizetype i = 1; i < all.size(); ++i) arguments.push_back(all[i].toStdString());
    return arguments;
}

std::string homeDirectory() {
    return toPath(QDir::homePath() + QLatin1Char('/'));
}

}  // namespace

VerifyApp::VerifyApp(int& argc, char** argv) : QApplication(argc, argv) {
    loadPictures();
    setWindowIcon(QIcon(QStringLiteral(":/icons/brevo-verifier-32.png")));
    // Desktops find the entry, and with it the icon and name, of a window by this id.
    setDesktopFileName(QStringLiteral("invalid.brevo_verifier.BrevoVerifier"));
}

int VerifyApp::run() {
    const bool splash = splashEnabled(programArguments());
    const std::string home = homeDirectory();
    QtSettingsStore store(QFileInfo(applicationFilePath()).completeBaseName());
    SystemDialogs dialogs;
    CMyPropertySheet sheet(dialogs, readSettings(store, home), home);
    sheet.restoreLayout(readWindowLayout(store));
    // The settings are kept when the sheet closes, and also when the desktop session ends while
    // the program runs, so that logging out does not lose them.
    auto keepSettings = [&] {
        writeSettings(store, sheet.settings(), home);
        writeWindowLayout(store, sheet.windowLayout());
        store.flush();
    };
    SessionGuard guard(*this, sheet, keepSettings);
    // Told to end: the window goes whatever its pages say, as the batch has been stopped.
    connect(&guard, &SessionGuard::endRequested, &sheet, [&] { sheet.done(QDialog::Rejected); });
    if (splash) SplashWindow::showAndWait(QPixmap(QStringLiteral(":/splash/splash.png")));
    sheet.exec();
    keepSettings();
    return 0;
}

}  // namespace brevo::app
