#pragma once

#include <QObject>
#include <functional>

class QGuiApplication;

namespace brevo::app {

class CMyPropertySheet;

// The desktop session ends while the program runs: a running batch is stopped at its next step
// and waited for, then the settings are kept, so that logging out loses neither the settings
// nor leaves a report half-written.
class SessionGuard : public QObject {
    Q_OBJECT

public:
    SessionGuard(QGuiApplication& application, CMyPropertySheet& sheet,
                 std::function<void()> keepSettings);

    void sessionEnding();

private:
    CMyPropertySheet& sheet_;
    std::function<void()> keepSettings_;
};

}  // namespace brevo::app
