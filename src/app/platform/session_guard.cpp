#include "app/platform/session_guard.h"

#include <QGuiApplication>
#include <atomic>

#include "app/pages/verify_page.h"
#include "app/property_sheet.h"
#include "base/terminal.h"

namespace brevo::app {
namespace {

// Set in a signal handler, which may do nothing else; the window's thread looks at it.
std::atomic<bool> endSignalled{false};

void noteEndSignal() {
    endSignalled = true;
}

// Often enough that the batch stops well within a second of the signal.
constexpr int kSignalCheckMs = 100;

}  // namespace

SessionGuard::SessionGuard(QGuiApplication& application, CMyPropertySheet& sheet,
                           std::function<void()> keepSettings)
    : sheet_(sheet), keepSettings_(std::move(keepSettings)) {
    connect(&application, &QGuiApplication::commitDataRequest, this, &SessionGuard::sessionEnding,
            Qt::DirectConnection);
    onInterrupt(noteEndSignal);
    connect(&signalCheck_, &QTimer::timeout, this, &SessionGuard::checkForEndSignal);
    signalCheck_.start(kSignalCheckMs);
}

void SessionGuard::sessionEnding() {
    sheet_.verifyPage().stopBatch();
    keepSettings_();
}

void SessionGuard::checkForEndSignal() {
    if (!endSignalled.exchange(false)) return;
    sessionEnding();
    emit endRequested();
}

}  // namespace brevo::app
