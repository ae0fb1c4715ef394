// The desktop app's main sheet and Verify page, driven as a user would, with the dialogs
// answered by the test.

#include "app/pages/verify_page.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

#include "app/dialogs/confirm_verify_dialog.h"
#include "app/dialogs/splash_window.h"
#include "app/model/verify_settings.h"
#include "app/platform/qt_text.h"
#include "app/property_sheet.h"
#include "gui_support.h"

namespace brevo::app::test {
namespace {

// The results lines of brevo-verify for the same files, one pair at a time.
std::vector<std::string> commandLineResults(const QString& source, const QStringList& files) {
    QProcess process;
    process.start(QStringLiteral(BREVO_VERIFY_EXE),
                  QStringList{"--source-dir", source, "--jobs", "1", "--overwrite"} + files);
    process.waitForFinished(30000);
    std::vector<std::string> lines;
    for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
        lines.push_back(line.toStdString());
    }
    return lines;
}

// Three pairs with findings, each with a report of an earlier run in the way.
QStringList pairsWithOldReports(Pairs& pairs) {
    QStringList files;
    for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
        files << pairs.add(name, kClean, kWithFindings);
        write(pairs.target + QString(name).replace(".txt", ".CMP"), "old");
    }
    return files;
}

}  // namespace

class VerifyPageTest : public QObject {
    Q_OBJECT

private slots:
    void freshStartShowsTheSheetIdle() {
        Pairs pairs;
        Sheet sheet(pairs);
        QCOMPARE(sheet.sheet->windowTitle(),
                 QStringLiteral("The Brevo Verifier 2.0 for Interleaf"));
        QTabBar& tabs = sheet.sheet->tabs();
        QCOMPARE(tabs.count(), 4);
        QCOMPARE(tabs.tabText(0), QStringLiteral("Verify Brevos"));
        QCOMPARE(tabs.tabText(3), QStringLiteral("About"));
        QCOMPARE(sheet.sheet->exitButton().text(), QStringLiteral("&Exit"));
        QCOMPARE(sheet.sheet->helpButton().text(), QStringLiteral("&Help"));
        QVERIFY(sheet.page().verifyButton().isEnabled());
        QVERIFY(!sheet.page().cancelButton().isEnabled());
        QVERIFY(!sheet.page().clearButton().isEnabled());
        QVERIFY(!sheet.page().saveButton().isEnabled());
        QCOMPARE(sheet.page().results().rowCount(), 0);
        QVERIFY(!sheet.sheet->windowIcon().isNull());

        QTest::keyClick(sheet.sheet.get(), Qt::Key_Return);
        QVERIFY(sheet.sheet->isVisible());
        sheet.sheet->exitButton().click();
        QVERIFY(!sheet.sheet->isVisible());
    }

    void resultsListEqualsTheCommandLine() {
        Pairs pairs;
        const QString c = pairs.add("c.txt", kClean, kWithFindings);
        const QString a = pairs.add("a.txt", kClean, kClean);
        const QString b = pairs.add("b.txt", kClean, kTruncated);
        write(pairs.source + "d.txt", kClean);
        const QString d = pairs.target + "d.txt";
        write(d, kWithFindings);
        Sheet sheet(pairs);
        sheet.verify({d, a, b, c}, pairs.target);

        const std::vector<std::string> expected = commandLineResults(pairs.source, {d, a, b, c});
        const std::vector<std::string> shown = sheet.lines();
        // The command line goes on with the summary, which the window shows in a message box.
        QCOMPARE(expected.size(), shown.size() + 3);
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (i == 1) continue;  // the date and time of each run
            QCOMPARE(shown[i], expected[i]);
        }
        QCOMPARE(QString::fromStdString(expected[shown.size()] + "\n" + expected[shown.size() + 1]),
                 sheet.dialogs.shown.back().text);
        QCOMPARE(shown[3], "Verifying " + toPath(c));  // first and last changed places
        QCOMPARE(sheet.dialogs.shown.back().text,
                 QStringLiteral("3 file(s) verified.\n1 file(s) could not be fully verified."));
        QCOMPARE(sheet.dialogs.shown.back().icon, Icon::Information);
        QCOMPARE(sheet.page().batchBar().value(), sheet.page().batchBar().maximum());
        QVERIFY(sheet.page().saveButton().isEnabled());
        QVERIFY(sheet.page().clearButton().isEnabled());
        QVERIFY(!sheet.page().cancelButton().isEnabled());
        QCOMPARE(sheet.dialogs.askedFiles.front()[1], QStringLiteral("Text Files (*.TXT)"));
    }

    void overwriteQuestionYesNoCancel() {
        Pairs pairs;
        const QStringList files = pairsWithOldReports(pairs);
        Sheet sheet(pairs, 0);
        sheet.dialogs.answers = {Answer::Yes, Answer::No, Answer::Cancel};
        sheet.verify(files, pairs.target);

        QCOMPARE(sheet.dialogs.shown[0].text, "Do you want to overwrite the file:\n" +
                                                  pairs.target +
                                                  "a.CMP\nCancel terminates the batch.");
        QCOMPARE(sheet.dialogs.shown[0].icon, Icon::Question);
        QVERIFY(read(pairs.target + "a.CMP") != "old");
        QCOMPARE(read(pairs.target + "b.CMP"), QByteArray("old"));
        QCOMPARE(read(pairs.target + "c.CMP"), QByteArray("old"));
        const std::vector<std::string> lines = sheet.lines();
        const std::string line84(84, '_');
        const std::vector<std::string> expectedTail = {
            "Verifying " + toPath(pairs.target) + "b.txt",
            "Verification failed! Cancelled by user.",
            "",
            "Verifying " + toPath(pairs.target) + "c.txt",
            "Verification failed! Cancelled by user.",
            "",
            line84,
            "",
            "The batch was cancelled.",
            line84};
        QCOMPARE(std::vector<std::string>(lines.end() - 10, lines.end()), expectedTail);
        QCOMPARE(sheet.dialogs.shown.back().icon, Icon::Stop);
        QVERIFY(sheet.dialogs.shown.back().text.contains(QStringLiteral("1")));
    }

    void cancelAnsweredNoThenYesDuringARun() {
        Pairs pairs;
        // Each pair must last several of the window's progress intervals, so that the file bar
        // moves while its line is shown, however fast the machine verifies.
        const QByteArray source = longBrx(4 * kLongParagraphs);
        const QByteArray target = longBrx(4 * kLongParagraphs, "<ps \"Body\">more\n");
        QStringList files;
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            files << pairs.add(name, source, target);
        // One pair at a time, so that each press falls in the pair the file bar shows.
        VerifySettings settings = Sheet::settingsFor(pairs, 1);
        settings.pairsAtOnce = 1;
        Sheet sheet(settings);
        CMyPropertyPage2& page = sheet.page();
        int presses = 0;
        bool refusedWhileRunning = false;
        // Cancel is pressed in the middle of the first two pairs: answered No, then Yes.
        QObject::connect(&page.fileBar(), &QProgressBar::valueChanged, [&](int value) {
            // The pair whose line the results show last is the one the file bar follows.
            const std::vector<std::string>& shown = page.resultLines();
            const auto pair =
                std::count_if(shown.begin(), shown.end(),
                              [](const auto& line) { return line.starts_with("Verifying "); }) -
                1;
            if (value <= 0 || value > 12 || pair != presses || presses == 2) return;
            ++presses;
            sheet.dialogs.answers = {presses == 1 ? Answer::No : Answer::Yes};
            QVERIFY(page.cancelButton().isEnabled());
            QVERIFY(!page.verifyButton().isEnabled());
            page.cancelButton().click();
            // Neither another tab nor Exit while the batch runs.
            sheet.sheet->tabs().setCurrentIndex(2);
            sheet.sheet->reject();
            refusedWhileRunning =
                sheet.sheet->tabs().currentIndex() == 0 && sheet.sheet->isVisible();
        });
        sheet.verify(files, pairs.target);

        QCOMPARE(presses, 2);
        QVERIFY(refusedWhileRunning);
        QCOMPARE(sheet.dialogs.shown[0].text, QStringLiteral("Are you sure you want to cancel?"));
        const std::vector<std::string> lines = sheet.lines();
        QCOMPARE(lines[3], "Verifying " + toPath(files[0]));
        QCOMPARE(lines[4], std::string("Verification complete!"));
        const auto second = std::find(lines.begin(), lines.end(), "Verifying " + toPath(files[1]));
        QVERIFY(second != lines.end());
        QCOMPARE(*(second + 1), std::string("Verification failed! Cancelled by user."));
        QCOMPARE(lines[lines.size() - 2], std::string("The batch was cancelled."));
        QCOMPARE(sheet.dialogs.shown.back().icon, Icon::Stop);
        QVERIFY(QFile::exists(pairs.target + "a.CMP"));
        QVERIFY(!QFile::exists(pairs.target + "b.CMP"));
        QVERIFY(!QFile::exists(pairs.target + "c.CMP"));

        // Idle again: the tabs change, and the Verify page's bars start again from nothing.
        sheet.sheet->tabs().setCurrentIndex(1);
        QCOMPARE(sheet.sheet->tabs().currentIndex(), 1);
        sheet.sheet->tabs().setCurrentIndex(0);
        QCOMPARE(page.fileBar().value(), page.fileBar().minimum());
        QCOMPARE(page.batchBar().value(), page.batchBar().minimum());
    }

    // As when the question was asked inside a step: the batch waits for the answer, pairs
    // verified at once included, and No lets it go on to its summary.
    void theBatchWaitsWhileCancelIsAsked() {
        const QByteArray source = longBrx(4 * kLongParagraphs);
        const QByteArray target = longBrx(4 * kLongParagraphs, "<ps \"Body\">more\n");
        for (const int atOnce : {1, 2}) {
            Pairs pairs;
            QStringList files;
            for (const char* name : {"a.txt", "b.txt", "c.txt"}) {
                files << pairs.add(name, source, target);
            }
            VerifySettings settings = Sheet::settingsFor(pairs, 1);
            settings.pairsAtOnce = atOnce;
            Sheet sheet(settings);
            CMyPropertyPage2& page = sheet.page();
            bool pressed = false;
            bool stoodStill = false;
            std::size_t pairsStartedUnder = 0;
            qsizetype reportsUnder = -1;
            sheet.dialogs.onMessage = [&](const ScriptedDialogs::Shown& shown) {
                if (shown.text != QStringLiteral("Are you sure you want to cancel?")) return;
                // What the batch sent before it stopped arrives first; then nothing may move.
                auto state = [&] {
                    return std::make_tuple(page.resultLines().size(), page.fileBar().value(),
                                           QDir(pairs.target).entryList({"*.CMP"}).size());
                };
                QElapsedTimer waited;
                waited.start();
                auto before = state();
                for (;;) {
                    QTest::qWait(300);
                    const auto now = state();
                    stoodStill = now == before;
                    if (stoodStill || waited.elapsed() > 5000) break;
                    before = now;
                }
                const std::vector<std::string> lines = page.resultLines();
                pairsStartedUnder = static_cast<std::size_t>(std::count_if(
                    lines.begin(), lines.end(),
                    [](const std::string& line) { return line.starts_with("Verifying "); }));
                reportsUnder = std::get<2>(state());
            };
            QObject::connect(&page.fileBar(), &QProgressBar::valueChanged, [&](int value) {
                if (pressed || value <= 0 || value > 6) return;
                pressed = true;
                sheet.dialogs.answers = {Answer::No};
                page.cancelButton().click();
            });
            sheet.verify(files, pairs.target);

            QVERIFY(pressed);
            QVERIFY(stoodStill);
            // The window may lag behind the batch, which stops at the step after the one
            // shown; but the last pair, which has not begun when the first is pressed, never
            // finishes under the question.
            QVERIFY(pairsStartedUnder < 3);
            QVERIFY(reportsUnder < 3);
            QCOMPARE(sheet.dialogs.shown.back().icon, Icon::Information);
            QCOMPARE(QDir(pairs.target).entryList({"*.CMP"}).size(), 3);
        }
    }

    void yesToAllAnswersEveryLaterQuestion() {
        Pairs pairs;
        const QStringList files = pairsWithOldReports(pairs);
        Sheet sheet(pairs, 0);
        sheet.dialogs.answers = {Answer::YesToAll};
        sheet.verify(files, pairs.target);
        QCOMPARE(sheet.dialogs.shown.size(), std::size_t{2});  // one question, the summary
        QCOMPARE(sheet.dialogs.shown[0].buttons, Dialogs::Buttons::YesYesToAllNoCancel);
        for (const char* report : {"a.CMP", "b.CMP", "c.CMP"}) {
            QVERIFY(read(pairs.target + report) != "old");
        }
        // The next batch asks again.
        sheet.dialogs.answers = {Answer::No, Answer::No, Answer::No};
        sheet.verify(files, pairs.target);
        QCOMPARE(sheet.dialogs.shown.size(), std::size_t{2 + 4});
    }

    void clearAndSaveResults() {
        Pairs pairs;
        const QString a = pairs.add("a.txt", kClean, kWithFindings);
        Sheet sheet(pairs);
        sheet.verify({a}, pairs.target);
        QCOMPARE(sheet.dialogs.shown.back().text,
                 QStringLiteral("Files verified. There are Tag changes."));

        sheet.dialogs.saveFile = pairs.root.filePath("results.txt");
        sheet.page().saveButton().click();
        QCOMPARE(sheet.dialogs.proposedSaveName, QStringLiteral("RESULTS.TXT"));
        QCOMPARE(sheet.dialogs.saveStartDirectory, pairs.target);
        QByteArray expected;
        for (const std::string& line : sheet.lines()) expected += line + "\r\n";
        QCOMPARE(read(pairs.root.filePath("results.txt")), expected);

        const std::size_t before = sheet.lines().size();
        const QString nowhere = pairs.root.filePath("missing/results.txt");
        sheet.dialogs.saveFile = nowhere;
        sheet.page().saveButton().click();
        QCOMPARE(sheet.lines().size(), before + 2);
        QCOMPARE(sheet.lines()[before], std::string("File Error! The file could not be located."));
        QCOMPARE(sheet.lines()[before + 1], "Filename:" + toPath(nowhere));

        sheet.page().clearButton().click();
        QCOMPARE(sheet.page().results().rowCount(), 0);
        QVERIFY(!sheet.page().saveButton().isEnabled());
        QVERIFY(!sheet.page().clearButton().isEnabled());
    }

    void doubleClickOpensTheReport() {
        Pairs pairs;
        const QString a = pairs.add("a.txt", kClean, kWithFindings);
        const QString b = pairs.add("b.txt", kClean, kClean);
        Sheet sheet(pairs);
        sheet.verify({a, b}, pairs.target);
        // "Verifying a.txt", its outcome, then a count line.
        sheet.page().openReportOfLine(5);
        QCOMPARE(sheet.dialogs.opened, std::vector<QString>{pairs.target + "a.CMP"});
        sheet.page().openReportOfLine(3 + 4);  // b.txt has no report
        sheet.page().openReportOfLine(1);      // the date
        QCOMPARE(sheet.dialogs.opened.size(), std::size_t{1});
    }

    void droppedFilesAreCheckedThenVerified() {
        Pairs pairs;
        const QString a = pairs.add("a.txt", kClean, kClean);
        write(pairs.target + "notes.doc", "x");
        Sheet sheet(pairs);
        QSignalSpy finished(&sheet.page(), &CMyPropertyPage2::batchFinished);
        sheet.page().verifyDroppedFiles({a, pairs.target + "notes.doc", pairs.target});
        QVERIFY(finished.count() == 1 || finished.wait(30000));
        QCOMPARE(sheet.dialogs.shown.front().icon, Icon::Warning);
        QVERIFY(
            sheet.dialogs.shown.front().text.contains(pairs.target + "notes.doc: not a .txt file"));
        QVERIFY(sheet.dialogs.askedFiles.empty());
        QCOMPARE(sheet.lines()[3], "Verifying " + toPath(a));
        QCOMPARE(sheet.lines()[4], std::string("Verification complete!"));
    }

    void confirmationRefusesWhatCannotBeVerified() {
        Pairs pairs;
        ScriptedDialogs dialogs;
        ConfirmVerifyDialog confirm(nullptr, dialogs, 3, pairs.source, pairs.target, true);
        const QString spellings[] = {pairs.target, pairs.root.path() + "/./target",
                                     pairs.target + "../target/"};
        for (const QString& same : spellings) {
            confirm.sourceEdit().setText(same);
            confirm.accept();
            QCOMPARE(confirm.result(), int(QDialog::Rejected));
            QCOMPARE(dialogs.shown.back().text,
                     QStringLiteral("You must select files in two different directories."));
            QCOMPARE(dialogs.shown.back().icon, Icon::None);
        }
        for (const QString& missing : {pairs.root.filePath("nowhere"), QString()}) {
            confirm.sourceEdit().setText(missing);
            confirm.accept();
            QCOMPARE(confirm.result(), int(QDialog::Rejected));
            QCOMPARE(dialogs.shown.back().text,
                     QStringLiteral("The path you entered doesn't exist. Please try again."));
        }
        // Leaving an empty field does not make it the root directory.
        QLineEdit other(&confirm);
        confirm.show();
        QVERIFY(QTest::qWaitForWindowActive(&confirm));
        confirm.sourceEdit().setFocus();
        other.setFocus();
        QCOMPARE(confirm.sourceEdit().text(), QString());
        confirm.accept();
        QCOMPARE(confirm.result(), int(QDialog::Rejected));
        QCOMPARE(dialogs.shown.back().text,
                 QStringLiteral("The path you entered doesn't exist. Please try again."));
        QCOMPARE(dialogs.shown.back().icon, Icon::Stop);

        const std::size_t messages = dialogs.shown.size();
        confirm.sourceEdit().setText(pairs.root.filePath("source"));
        confirm.accept();
        QCOMPARE(confirm.result(), int(QDialog::Accepted));
        QCOMPARE(confirm.sourceDirectory(), pairs.source);
        QCOMPARE(dialogs.shown.size(), messages);

        dialogs.directory = pairs.root.path() + '/';
        confirm.browseButton().click();
        QCOMPARE(dialogs.askedDirectoryFrom.back(), pairs.source);
        QCOMPARE(confirm.sourceDirectory(), pairs.root.path() + '/');
    }

    void aBatchCancelledInTheConfirmationLeavesTheListAlone() {
        Pairs pairs;
        const QString a = pairs.add("a.txt", kClean, kClean);
        Sheet sheet(pairs);
        sheet.dialogs.onDialog = [](QDialog& dialog) {
            dialog.reject();
            return dialog.result();
        };
        sheet.verify({a}, pairs.target);
        QCOMPARE(sheet.page().results().rowCount(), 0);
        QVERIFY(!sheet.sheet->batchRunning());
        QVERIFY(sheet.page().verifyButton().isEnabled());
    }

    void splashTakesTheFirstKeyPressOrGoesAfterTwoSeconds() {
        QPixmap picture(520, 317);
        picture.fill(Qt::darkBlue);
        QLineEdit other;
        other.show();
        QTimer::singleShot(50, [&] { QTest::keyClick(&other, Qt::Key_X); });
        QElapsedTimer clock;
        clock.start();
        SplashWindow::showAndWait(picture);
        QVERIFY(clock.elapsed() < SplashWindow::kShownFor);
        QCOMPARE(other.text(), QString());
        QTest::keyClick(&other, Qt::Key_Y);
        QCOMPARE(other.text(), QStringLiteral("y"));

        clock.restart();
        SplashWindow::showAndWait(picture);
        QVERIFY2(clock.elapsed() >= SplashWindow::kShownFor - 50,
                 QByteArray::number(clock.elapsed()));
        SplashWindow::showAndWait(QPixmap());  // no picture, no splash, no wait
    }

    void helpThatCannotBeOpenedSaysSo() {
        Pairs pairs;
        Sheet sheet(pairs);
        sheet.dialogs.documentsOpen = false;
        sheet.sheet->helpButton().click();
        QVERIFY(sheet.dialogs.opened.back().endsWith(QStringLiteral(".html")));
        QCOMPARE(
            sheet.dialogs.shown.back().text,
            "Failed to launch help.\n" + QDir::toNativeSeparators(sheet.dialogs.opened.back()));
    }
};

}  // namespace brevo::app::test

QTEST_MAIN(brevo::app::test::VerifyPageTest)
#include "verify_page_test.moc"
