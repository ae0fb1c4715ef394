#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QWidget;

namespace brevo::app {

// Dialog layouts are given in dialog units: a quarter of the font's average character width
// across, an eighth of its height down. Mapped through the font, they scale with it and with
// the screen's resolution.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

    // Places `widget` at the rectangle given in dialog units.
    void place(QWidget* widget, int x, int y, int width, int height) const;

private:
    int toX(int units) const;
    int toY(int units) const;

    double baseX_;
    double baseY_;
};

}  // namespace brevo::app
