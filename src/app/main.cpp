#include <QCoreApplication>
#include <cstdio>

#include "app/command_line.h"
#include "app/verify_app.h"
#include "base/memory_advice.h"

int main(int argc, char** argv) {
    {
        // Help and version need no display: they are answered before any window exists.
        const QCoreApplication commandLine(argc, argv);
        const auto answer = brevo::app::commandLineAnswer(QCoreApplication::arguments(),
                                                          QStringLiteral(BREVO_VERSION));
        if (answer) {
            std::fputs(answer->toLocal8Bit().constData(), stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    brevo::keepFreedMemory();
    brevo::app::VerifyApp app(argc, argv);
    return app.run();
}
