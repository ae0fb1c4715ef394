#include "app/platform/desktop_programs.h"

#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>

namespace brevo::app {
namespace {

#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
// The desktop file xdg-mime names for a type; empty when none is registered.
QString handlerOf(const QString& tool, const QString& type) {
    QProcess query;
    query.start(tool, {QStringLiteral("query"), QStringLiteral("default"), type});
    if (!query.waitForFinished(3000)) {
        query.kill();
        query.waitForFinished();
        return {};
    }
    return QString::fromLocal8Bit(query.readAllStandardOutput()).trimmed();
}
#endif

}  // namespace

bool desktopHasProgramFor(const QString& path) {
#if defined(Q_OS_WIN) || defined(Q_OS_MACOS)
    // The system's open call says itself when no program takes the file.
    (void)path;
    return true;
#else
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (tool.isEmpty()) return true;
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path);
    QStringList types{type.name()};
    types += type.allAncestors();
    for (const QString& name : types) {
        if (!handlerOf(tool, name).isEmpty()) return true;
    }
    return false;
#endif
}

}  // namespace brevo::app
