#include "app/controls/on_screen.h"

#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace brevo::app {

void keepOnScreen(QWidget& window) {
    const QScreen* screen = window.screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QSize frame = window.frameGeometry().size() - window.size();
    const QSize room = (area.size() - frame).expandedTo(window.minimumSize());
    if (window.width() > room.width() || window.height() > room.height()) {
        window.resize(window.size().boundedTo(room));
    }
    QRect placed = window.frameGeometry();
    placed.moveRight(std::min(placed.right(), area.right()));
    placed.moveBottom(std::min(placed.bottom(), area.bottom()));
    placed.moveLeft(std::max(placed.left(), area.left()));
    placed.moveTop(std::max(placed.top(), area.top()));
    if (placed.topLeft() != window.frameGeometry().topLeft()) window.move(placed.topLeft());
}

}  // namespace brevo::app

namespace brevo::app {

void keepOnScreenOnceFramed(QWidget& window) {
    for (const int delay : {0, 400}) {
        QTimer::singleShot(delay, &window, [&window] { keepOnScreen(window); });
    }
}

}  // namespace brevo::app
