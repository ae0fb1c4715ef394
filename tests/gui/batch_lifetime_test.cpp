// A batch runs on a thread of its own: the window can go, the session can end and Cancel can
// come late without a hang, a lost setting or a half-written report.

#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <csignal>
#include <thread>

#include "app/batch/batch_controller.h"
#include "app/model/settings_rules.h"
#include "app/model/settings_store.h"
#include "app/pages/verify_page.h"
#include "app/platform/session_guard.h"
#include "gui_support.h"

namespace brevo::app::test {
namespace {

// Pairs that take a while each, with a finding so that every finished pair writes a report.
QStringList longPairs(Pairs& pairs, int count) {
    const QByteArray source = longBrx(kLongParagraphs);
    const QByteArray target = longBrx(kLongParagraphs, "<ps \"Body\">more\n");
    QStringList files;
    for (int i = 0; i < count; ++i) {
        files << pairs.add(QStringLiteral("p%1.txt").arg(i), source, target);
    }
    return files;
}

// A report the first pair would replace: the batch asks before it, and the test acts while
// the worker waits for that answer, so that the batch is surely under way, however fast the
// machine verifies.
const QByteArray kEarlierReport = "An earlier report\nErrors: 1\n";
constexpr char kQuestionStart[] = "Do you want to overwrite the file:";

void keepAnEarlierReport(const Pairs& pairs) {
    write(pairs.target + "p0.CMP", kEarlierReport);
}

bool isOverwriteQuestion(const ScriptedDialogs::Shown& shown) {
    return shown.text.startsWith(QLatin1String(kQuestionStart));
}

// Every report in the directory is whole: it ends as a report ends, with its totals.
void expectOnlyWholeReports(const QString& directory) {
    const QStringList names = QDir(directory).entryList(QDir::Files);
    for (const QString& name : names) {
        QVERIFY2(name.endsWith(QStringLiteral(".txt")) || name.endsWith(QStringLiteral(".CMP")),
                 qPrintable(name));
        if (name.endsWith(QStringLiteral(".CMP"))) {
            QVERIFY2(read(directory + name).contains("Errors: 1"), qPrintable(name));
        }
    }
}

}  // namespace

class BatchLifetimeTest : public QObject {
    Q_OBJECT

private slots:
    void anAnswerThatComesBeforeTheWorkerWaitsIsKept() {
        BatchRun run;
        run.answer({OverwriteAnswer::Yes, true});
        const OverwriteReply reply = run.awaitAnswer();
        QCOMPARE(reply.answer, OverwriteAnswer::Yes);
        QVERIFY(reply.toAll);
        // A stopped batch waits for no answer: Cancel at once.
        run.stop();
        QCOMPARE(run.awaitAnswer().answer, OverwriteAnswer::Cancel);
    }

    // A held batch goes on when released and ends when stopped; a stop while held frees the
    // waiting worker.
    void aHeldBatchWaitsForReleaseOrStop() {
        for (const bool stopIt : {false, true}) {
            BatchRun run;
            run.hold();
            std::atomic<bool> done{false};
            bool stopped = false;
            std::thread worker([&] {
                stopped = run.stopAfterHold();
                done = true;
            });
            QTest::qWait(50);
            QVERIFY(!done);
            stopIt ? run.stop() : run.release();
            worker.join();
            QCOMPARE(stopped, stopIt);
        }
    }

    void destroyingTheSheetMidBatchStopsTheBatchAtOnce() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 4);
        keepAnEarlierReport(pairs);
        Sheet sheet(pairs, 0);
        // Yes to the question; the sheet goes as soon as the window has handed that answer on,
        // while the first pair is being verified.
        qint64 stopTook = -1;
        sheet.dialogs.onMessage = [&](const ScriptedDialogs::Shown& shown) {
            if (!isOverwriteQuestion(shown)) return;
            QTimer::singleShot(0, [&] {
                QElapsedTimer clock;
                clock.start();
                sheet.sheet.reset();
                stopTook = clock.elapsed();
            });
        };
        sheet.dialogs.files = FileChoice{files, pairs.target};
        sheet.page().verifyButton().click();
        QTRY_VERIFY_WITH_TIMEOUT(stopTook >= 0, 20000);
        QVERIFY2(stopTook < 1000, QByteArray::number(stopTook));
        QVERIFY(!QFile::exists(pairs.target + "p3.CMP"));
        expectOnlyWholeReports(pairs.target);
        // Whatever the worker had sent on its way reaches nothing.
        QTest::qWait(50);
    }

    void endingTheSessionMidBatchStopsItAndKeepsTheSettings() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 4);
        keepAnEarlierReport(pairs);
        Sheet sheet(pairs, 0);
        MemoryStore store;
        SessionGuard guard(*qApp, *sheet.sheet,
                           [&] { writeSettings(store, sheet.sheet->settings(), Sheet::home()); });
        QSignalSpy finished(&sheet.page(), &CMyPropertyPage2::batchFinished);
        // The session ends while the worker waits for the answer to its first question.
        qint64 stopTook = -1;
        sheet.dialogs.onMessage = [&](const ScriptedDialogs::Shown& shown) {
            if (!isOverwriteQuestion(shown) || stopTook >= 0) return;
            QElapsedTimer clock;
            clock.start();
            guard.sessionEnding();
            stopTook = clock.elapsed();
        };
        sheet.dialogs.files = FileChoice{files, pairs.target};
        sheet.page().verifyButton().click();
        QTRY_VERIFY_WITH_TIMEOUT(stopTook >= 0, 20000);
        QVERIFY2(stopTook < 1000, QByteArray::number(stopTook));
        QCOMPARE(store.readString("PATHS", "ORG_FILES"), toPath(pairs.source));
        QCOMPARE(store.readString("PATHS", "TRANSLATED_FILES"), toPath(pairs.target));

        // The stop comes through as a cancel, and the window is idle again; the Yes that the
        // question got after the stop reaches nothing.
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        const std::vector<std::string> lines = sheet.lines();
        QCOMPARE(lines[4], std::string("Verification failed! Cancelled by user."));
        QCOMPARE(lines[lines.size() - 2], std::string("The batch was cancelled."));
        QVERIFY(!sheet.sheet->batchRunning());
        QCOMPARE(read(pairs.target + "p0.CMP"), kEarlierReport);
        QVERIFY(!QFile::exists(pairs.target + "p1.CMP"));
        expectOnlyWholeReports(pairs.target);
    }

    void aTerminationSignalMidBatchStopsItAndKeepsTheSettings() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 4);
        keepAnEarlierReport(pairs);
        Sheet sheet(pairs, 0);
        MemoryStore store;
        SessionGuard guard(*qApp, *sheet.sheet,
                           [&] { writeSettings(store, sheet.sheet->settings(), Sheet::home()); });
        QSignalSpy endRequested(&guard, &SessionGuard::endRequested);
        QSignalSpy finished(&sheet.page(), &CMyPropertyPage2::batchFinished);
        // The signal comes while the worker waits for the answer to its first question.
        qint64 stopTook = -1;
        sheet.dialogs.onMessage = [&](const ScriptedDialogs::Shown& shown) {
            if (!isOverwriteQuestion(shown) || stopTook >= 0) return;
            QElapsedTimer clock;
            clock.start();
            std::raise(SIGTERM);
            QTRY_VERIFY_WITH_TIMEOUT(endRequested.count() == 1, 5000);
            stopTook = clock.elapsed();
        };
        sheet.dialogs.files = FileChoice{files, pairs.target};
        sheet.page().verifyButton().click();
        QTRY_VERIFY_WITH_TIMEOUT(stopTook >= 0, 20000);
        QVERIFY2(stopTook < 1000, QByteArray::number(stopTook));
        QCOMPARE(store.readString("PATHS", "TRANSLATED_FILES"), toPath(pairs.target));
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        QCOMPARE(sheet.lines()[sheet.lines().size() - 2], std::string("The batch was cancelled."));
        QCOMPARE(read(pairs.target + "p0.CMP"), kEarlierReport);
        QVERIFY(!QFile::exists(pairs.target + "p3.CMP"));
        expectOnlyWholeReports(pairs.target);
    }

    void aCancelAnsweredAfterItsBatchEndedLeavesTheNextOneAlone() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 2);
        Sheet sheet(pairs);
        CMyPropertyPage2& page = sheet.page();
        bool pressed = false;
        std::size_t shownUnderQuestion = 0;
        // Cancel is clicked once the batch's closing line has come, after its last step: the
        // batch ends beneath the question, its summary waits for the answer, and the Yes that
        // comes then has nothing left to stop.
        QObject::connect(&page.results(), &QAbstractItemModel::rowsInserted, [&] {
            const std::vector<std::string> lines = page.resultLines();
            if (pressed || lines.empty() || !lines.back().starts_with("____")) return;
            pressed = true;
            sheet.dialogs.answers = {Answer::Yes};
            page.cancelButton().click();
        });
        sheet.dialogs.onMessage = [&](const ScriptedDialogs::Shown& shown) {
            if (shown.text != QStringLiteral("Are you sure you want to cancel?")) return;
            const std::size_t before = sheet.dialogs.shown.size();
            QTest::qWait(300);  // the end arrives meanwhile
            shownUnderQuestion = sheet.dialogs.shown.size() - before;
        };
        sheet.verify(files, pairs.target);
        QVERIFY(pressed);
        QCOMPARE(shownUnderQuestion, std::size_t{0});
        const std::size_t shown = sheet.dialogs.shown.size();
        QCOMPARE(sheet.dialogs.shown[shown - 2].text,
                 QStringLiteral("Are you sure you want to cancel?"));
        QCOMPARE(sheet.dialogs.shown[shown - 1].text,
                 QStringLiteral("2 file(s) verified. Tag changes in 2 file(s)."));
        QCOMPARE(sheet.dialogs.shown[shown - 1].icon, Icon::Information);

        sheet.dialogs.onMessage = nullptr;
        sheet.dialogs.answers.clear();
        pressed = true;
        const std::size_t before = sheet.lines().size();
        sheet.verify(files, pairs.target);
        const std::vector<std::string> lines = sheet.lines();
        QCOMPARE(lines[before + 4], std::string("Verification complete!"));
        QCOMPARE(sheet.dialogs.shown.back().text,
                 QStringLiteral("2 file(s) verified. Tag changes in 2 file(s)."));
        QCOMPARE(sheet.dialogs.shown.back().icon, Icon::Information);
    }
};

}  // namespace brevo::app::test

QTEST_MAIN(brevo::app::test::BatchLifetimeTest)
#include "batch_lifetime_test.moc"
