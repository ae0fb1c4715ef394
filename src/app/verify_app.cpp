#include "app/verify_app.h"

#include <QDir>
#include <QPixmap>

#include "app/app_texts.h"
#include "app/model/start_up.h"
#include "app/model/verify_settings.h"
#include "app/property_sheet.h"
#include "app/qt_text.h"
#include "app/splash_window.h"
#include "app/system_dialogs.h"

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
}

int VerifyApp::run() {
    const bool splash = splashEnabled(programArguments());
    const std::string home = homeDirectory();
    SystemDialogs dialogs;
    CMyPropertySheet sheet(dialogs, defaultSettings(home), home);
    if (splash) SplashWindow::showAndWait(QPixmap(QStringLiteral(":/splash/splash.png")));
    sheet.exec();
    return 0;
}

}  // namespace brevo::app
