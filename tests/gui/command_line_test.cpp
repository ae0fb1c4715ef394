// brevo-verifier's own command line: help and version are printed without a window; the
// switches of a program that starts this one, and unknown words, start it as usual.

#include "app/command_line.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

namespace brevo::app::test {

class CommandLineTest : public QObject {
    Q_OBJECT

private:
    static std::optional<QString> answer(const QStringList& words) {
        return commandLineAnswer(QStringList{QStringLiteral("brevo-verifier")} + words,
                                 QStringLiteral("1.2.3"));
    }

private slots:
    void helpAndVersionAreAnswered() {
        QCOMPARE(answer({QStringLiteral("--version")}), QStringLiteral("brevo-verifier 1.2.3\n"));
        QCOMPARE(answer({QStringLiteral("-v")}), QStringLiteral("brevo-verifier 1.2.3\n"));
        for (const char* help : {"--help", "-h", "-help", "--help-all"}) {
            const auto text = answer({QString::fromLatin1(help)});
            QVERIFY2(text && text->contains(QStringLiteral("--version")), help);
        }
    }

    void otherWordsStartTheProgram() {
        for (const char* word : {"-Embedding", "/Automation", "-automation", "--unknown", "x"}) {
            QVERIFY2(!answer({QString::fromLatin1(word)}), word);
        }
        QVERIFY(!answer({}));
    }

    // Without any display to open a window on.
    void theProgramPrintsAndExits() {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(BREVO_VERIFIER_EXE), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(20000));
        QCOMPARE(program.exitCode(), 0);
        QVERIFY(program.readAllStandardOutput().startsWith("brevo-verifier "));
    }
};

}  // namespace brevo::app::test

QTEST_GUILESS_MAIN(brevo::app::test::CommandLineTest)
#include "command_line_test.moc"
