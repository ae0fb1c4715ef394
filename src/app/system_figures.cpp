#include "app/system_figures.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QSysInfo>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(Q_OS_MACOS)
#include <mach/mach.h>
#include <sys/sysctl.h>
#endif

#include "app/qt_text.h"

namespace brevo::app {
namespace {

#if defined(Q_OS_WIN)
void readMemory(SystemFigures& figures) {
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof status;
    if (!GlobalMemoryStatusEx(&status)) return;
    figures.totalMemory = status.ullTotalPhys;
    figures.availableMemory = status.ullAvailPhys;
    figures.totalPaging = status.ullTotalPageFile;
    figures.availablePaging = status.ullAvailPageFile;
}
#elif defined(Q_OS_MACOS)
void readMemory(SystemFigures& figures) {
    std::uint64_t total = 0;
    std::size_t size = sizeof total;
    if (sysctlbyname("hw.memsize", &total, &size, nullptr, 0) == 0) figures.totalMemory = total;
    vm_statistics64_data_t pages{};
    mach_msg_type_number_t count = HOST_VM_INFO64_COUNT;
    if (host_statistics64(mach_host_self(), HOST_VM_INFO64, reinterpret_cast<host_info64_t>(&pages),
                          &count) == KERN_SUCCESS) {
        figures.availableMemory =
            (std::uint64_t{pages.free_count} + pages.inactive_count) * vm_page_size;
    }
    xsw_usage swap{};
    size = sizeof swap;
    if (sysctlbyname("vm.swapusage", &swap, &size, nullptr, 0) == 0) {
        figures.totalPaging = swap.xsu_total;
        figures.availablePaging = swap.xsu_avail;
    }
}
#else
// The kernel's own account of memory and swap, in kilobytes.
void readMemory(SystemFigures& figures) {
    QFile file(QStringLiteral("/proc/meminfo"));
    if (!file.open(QIODevice::ReadOnly)) return;
    std::uint64_t free = 0;
    bool available = false;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() < 2) continue;
        const std::uint64_t bytes = fields[1].toULongLong() * 1024;
        const QByteArray& name = fields[0];
        if (name == "MemTotal:") figures.totalMemory = bytes;
        if (name == "MemFree:") free = bytes;
        if (name == "MemAvailable:") {
            figures.availableMemory = bytes;
            available = true;
        }
        if (name == "SwapTotal:") figures.totalPaging = bytes;
        if (name == "SwapFree:") figures.availablePaging = bytes;
    }
    if (!available) figures.availableMemory = free;
}
#endif

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
