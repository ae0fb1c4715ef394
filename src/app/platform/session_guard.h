#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

class QGuiApplication;

namespace brevo::app {

class CMyPropertySheet;

// The desktop session ends while the program runs (the session manager asks for the data to
// be kept, or the program is told to end: SIGTERM, SIGHUP, Ctrl-C where it was started): a
// running batch is stopped at its next step and waited for, then the settings are kept, so
// that logging out neither loses the settings nor leaves a report half-written.
class SessionGuard : public QObject {
    Q_OBJECT

public:
    SessionGuard(QGuiApplication& application, CMyPropertySheet& sheet,
                 std::function<void()> keepSettings);

    void sessionEnding();

signals:
    // The program was told to end: the settings are kept, the window should go.
    void endRequested();

private:
    void checkForEndSignal();

    CMyPropertySheet& sheet_;
    std::function<void()> keepSettings_;
    QTimer signalCheck_;
};

}  // namespace brevo::app
