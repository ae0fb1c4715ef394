#pragma once

#include <QApplication>

namespace brevo::app {

// The program: start-up, the splash, the main sheet until the user leaves it.
class VerifyApp : public QApplication {
    Q_OBJECT

public:
    VerifyApp(int& argc, char** argv);

    int run();
};

}  // namespace brevo::app
