#include "app/platform/system_figures.h"

#include <QDir>
#include <QStorageInfo>
#include <QSysInfo>

#include "app/platform/qt_text.h"
#include "base/system_memory.h"

namespace brevo::app {
namespace {

void readMemory(SystemFigures& figures) {
    const SystemMemory memory = readSystemMemory();
    figures.totalMemory = memory.total;
    figures.availableMemory = memory.available;
    figures.totalPaging = memory.totalPaging;
    figures.availablePaging = memory.availablePaging;
}

void readSystem(SystemFigures& figures) {
    const QString kernel = QSysInfo::kernelType();
    QString release = QSysInfo::kernelVersion();
    if (kernel == QLatin1String("linux")) {
        figures.system = "Linux";
    } else if (kernel == QLatin1String("winnt")) {
        figures.system = "Windows NT";
    } else if (kernel == QLatin1String("darwin")) {
        figures.system = "macOS";
        release = QSysInfo::productVersion();
    } else {
        figures.system = QSysInfo::prettyProductName().toStdString();
    }
    std::tie(figures.majorVersion, figures.minorVersion) = majorAndMinor(release.toStdString());
}

}  // namespace

SystemFigures readSystemFigures() {
    SystemFigures figures;
    readMemory(figures);
    const QStorageInfo storage(QDir::currentPath());
    if (storage.isValid() && storage.isReady() && storage.bytesTotal() >= 0) {
        figures.disk = SystemFigures::Disk{static_cast<std::uint64_t>(storage.bytesTotal()),
                                           static_cast<std::uint64_t>(storage.bytesAvailable()),
                                           toPath(storage.rootPath())};
    }
    readSystem(figures);
    return figures;
}

}  // namespace brevo::app
