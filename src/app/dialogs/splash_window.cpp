#include "app/dialogs/splash_window.h"

#include <QApplication>
#include <QEventLoop>
#include <QPainter>
#include <QScreen>

namespace brevo::app {
namespace {

bool isUserPress(const QEvent& event) {
    switch (event.type()) {
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::NonClientAreaMouseButtonDblClick:
            return true;
        default:
            return false;
    }
}

bool isUserInput(const QEvent& event) {
    switch (event.type()) {
        case QEvent::ShortcutOverride:  // comes before its key press
        case QEvent::KeyRelease:
        case QEvent::MouseButtonRelease:
        case QEvent::NonClientAreaMouseButtonRelease:
        case QEvent::Wheel:
            return true;
        default:
            return isUserPress(event);
    }
}

}  // namespace

SplashWindow::SplashWindow(const QPixmap& picture)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(picture) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(picture_.deviceIndependentSize().toSize());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &SplashWindow::dismiss);
    qApp->installEventFilter(this);
}

SplashWindow::~SplashWindow() {
    qApp->removeEventFilter(this);
}

void SplashWindow::showAndWait(const QPixmap& picture) {
    if (picture.isNull()) return;
    SplashWindow splash(picture);
    QEventLoop wait;
    connect(&splash, &SplashWindow::dismissed, &wait, &QEventLoop::quit);
    splash.show();
    splash.timer_.start(kShownFor);
    wait.exec();
}

void SplashWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}

// Until it is gone, input reaches no window: a press dismisses the splash and is spent.
bool SplashWindow::eventFilter(QObject*, QEvent* event) {
    if (done_ || !isUserInput(*event)) return false;
    if (isUserPress(*event)) dismiss();
    return true;
}

void SplashWindow::dismiss() {
    if (done_) return;
    done_ = true;
    timer_.stop();
    hide();
    emit dismissed();
}

}  // namespace brevo::app
