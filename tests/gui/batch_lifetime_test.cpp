// A batch runs on a thread of its own: the window can go, the session can end and Cancel can
// come late without a hang, a lost setting or a half-written report.

#include <QDir>
#include <QElapsedTimer>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>
#include <csignal>

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

// Starts the batch and returns once it is in the middle of its first pair.
void startAndReachTheMiddle(Sheet& sheet, const QStringList& files, const QString& directory) {
    sheet.dialogs.files = FileChoice{files, directory};
    sheet.page().verifyButton().click();
    QVERIFY(sheet.sheet->batchRunning());
    QTRY_VERIFY_WITH_TIMEOUT(sheet.page().fileBar().value() > 0, 20000);
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

    void destroyingTheSheetMidBatchStopsTheBatchAtOnce() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 4);
        Sheet sheet(pairs);
        startAndReachTheMiddle(sheet, files, pairs.target);
        QElapsedTimer clock;
        clock.start();
        sheet.sheet.reset();
        QVERIFY2(clock.elapsed() < 1000, QByteArray::number(clock.elapsed()));
        QVERIFY(!QFile::exists(pairs.target + "p3.CMP"));
        expectOnlyWholeReports(pairs.target);
        // Whatever the worker had sent on its way reaches nothing.
        QTest::qWait(50);
    }

    void endingTheSessionMidBatchStopsItAndKeepsTheSettings() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 4);
        Sheet sheet(pairs);
        MemoryStore store;
        SessionGuard guard(*qApp, *sheet.sheet,
                           [&] { writeSettings(store, sheet.sheet->settings(), Sheet::home()); });
        QSignalSpy finished(&sheet.page(), &CMyPropertyPage2::batchFinished);
        // The session ends as the first pair is under way.
        qint64 stopTook = -1;
        QObject::connect(&sheet.page().fileBar(), &QProgressBar::valueChanged, [&](int value) {
            if (value <= 0 || stopTook >= 0) return;
            QElapsedTimer clock;
            clock.start();
            guard.sessionEnding();
            stopTook = clock.elapsed();
        });
        sheet.dialogs.files = FileChoice{files, pairs.target};
        sheet.page().verifyButton().click();
        QTRY_VERIFY_WITH_TIMEOUT(stopTook >= 0, 20000);
        QVERIFY2(stopTook < 1000, QByteArray::number(stopTook));
        QCOMPARE(store.readString("PATHS", "ORG_FILES"), toPath(pairs.source));
        QCOMPARE(store.readString("PATHS", "TRANSLATED_FILES"), toPath(pairs.target));

        // The stop comes through as a cancel, and the window is idle again.
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        const std::vector<std::string> lines = sheet.lines();
        QCOMPARE(lines[4], std::string("Verification failed! Cancelled by user."));
        QCOMPARE(lines[lines.size() - 2], std::string("The batch was cancelled."));
        QVERIFY(!sheet.sheet->batchRunning());
        QVERIFY(!QFile::exists(pairs.target + "p0.CMP"));
        expectOnlyWholeReports(pairs.target);
    }

    void aTerminationSignalMidBatchStopsItAndKeepsTheSettings() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 4);
        Sheet sheet(pairs);
        MemoryStore store;
        SessionGuard guard(*qApp, *sheet.sheet,
                           [&] { writeSettings(store, sheet.sheet->settings(), Sheet::home()); });
        QSignalSpy endRequested(&guard, &SessionGuard::endRequested);
        QSignalSpy finished(&sheet.page(), &CMyPropertyPage2::batchFinished);
        startAndReachTheMiddle(sheet, files, pairs.target);
        QElapsedTimer clock;
        clock.start();
        std::raise(SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(endRequested.count() == 1, 5000);
        QVERIFY2(clock.elapsed() < 1000, QByteArray::number(clock.elapsed()));
        QCOMPARE(store.readString("PATHS", "TRANSLATED_FILES"), toPath(pairs.target));
        QVERIFY(finished.count() == 1 || finished.wait(5000));
        QCOMPARE(sheet.lines()[sheet.lines().size() - 2], std::string("The batch was cancelled."));
        QVERIFY(!QFile::exists(pairs.target + "p3.CMP"));
        expectOnlyWholeReports(pairs.target);
    }

    void aCancelAnsweredAfterItsBatchEndedLeavesTheNextOneAlone() {
        Pairs pairs;
        const QStringList files = longPairs(pairs, 2);
        Sheet sheet(pairs);
        CMyPropertyPage2& page = sheet.page();
        bool asked = false;
        // Cancel is clicked during the batch; while its question is open the batch ends (its
        // summary is shown), and only then is the question answered Yes.
        sheet.dialogs.onMessage = [&](const ScriptedDialogs::Shown& shown) {
            if (shown.text != QStringLiteral("Are you sure you want to cancel?")) return;
            asked = true;
            QTRY_VERIFY_WITH_TIMEOUT(!sheet.sheet->batchRunning(), 20000);
            sheet.dialogs.answers = {Answer::Yes};
        };
        startAndReachTheMiddle(sheet, files, pairs.target);
        page.cancelButton().click();
        QVERIFY(asked);
        QVERIFY(!sheet.sheet->batchRunning());
        const std::size_t shown = sheet.dialogs.shown.size();
        QCOMPARE(sheet.dialogs.shown[shown - 2].text,
                 QStringLiteral("Are you sure you want to cancel?"));
        QCOMPARE(sheet.dialogs.shown[shown - 1].text,
                 QStringLiteral("2 file(s) verified. Tag changes in 2 file(s)."));

        sheet.dialogs.onMessage = nullptr;
        sheet.dialogs.answers.clear();
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
