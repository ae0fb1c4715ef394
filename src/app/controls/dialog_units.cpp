#include "app/controls/dialog_units.h"

#include <QFontMetricsF>
#include <QWidget>
#include <cmath>

namespace brevo::app {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX_ = metrics.horizontalAdvance(alphabet) / static_cast<double>(alphabet.size());
    baseY_ = metrics.height();
}

int DialogUnits::toX(int units) const {
    return static_cast<int>(std::lround(units * baseX_ / 4.0));
}

int DialogUnits::toY(int units) const {
    return static_cast<int>(std::lround(units * baseY_ / 8.0));
}

QRect DialogUnits::rect(int x, int y, int width, int height) const {
    return QRect(toX(x), toY(y), toX(width), toY(height));
}

QSize DialogUnits::size(int width, int height) const {
    return QSize(toX(width), toY(height));
}

void DialogUnits::place(QWidget* widget, int x, int y, int width, int height) const {
    widget->setGeometry(rect(x, y, width, height));
}

}  // namespace brevo::app
