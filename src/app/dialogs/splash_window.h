#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace brevo::app {

// The picture shown while the program starts: gone after two seconds or at the first key or
// mouse button, which it takes for itself.
class SplashWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShownFor = 2000;  // milliseconds

    explicit SplashWindow(const QPixmap& picture);
    ~SplashWindow() override;

    // Shows the splash and waits until it is gone; every key press and mouse button of that time
    // is taken from the program's other windows. Returns at once without a picture.
    static void showAndWait(const QPixmap& picture);

signals:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dismiss();

    QPixmap picture_;
    QTimer timer_;
    bool done_ = false;
};

}  // namespace brevo::app
