// The Verify page with its findings: a file's results lines lead to its findings, a batch of
// one file shows them at once, and a report opens inside the app when the system has no
// program for it.

#include <QCheckBox>
#include <QFileInfo>
#include <QListView>
#include <QPushButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStandardPaths>
#include <QTableView>
#include <QtTest>

#include "app/findings/findings_panel.h"
#include "app/findings/line_text_view.h"
#include "app/findings/report_window.h"
#include "app/findings/side_by_side_view.h"
#include "app/model/window_layout.h"
#include "app/platform/desktop_programs.h"
#include "gui_support.h"

namespace brevo::app::test {
namespace {

int rowOf(const std::vector<std::string>& lines, const std::string& line) {
    for (std::size_t at = 0; at < lines.size(); ++at) {
        if (lines[at] == line) return static_cast<int>(at);
    }
    return -1;
}

QString rtfOf(const QByteArray& text) {
    QByteArray body = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
    for (const QByteArray& line : text.split('\n')) {
        if (!line.isEmpty()) body += line + "\\par\n";
    }
    return QString::fromLatin1(body + "}");
}

}  // namespace

class VerifyFindingsTest : public QObject {
    Q_OBJECT

private slots:
    void resultsLinesLeadToTheirFilesFindings() {
        Pairs pairs;
        const QString a = pairs.add(QStringLiteral("a.txt"), kClean, kWithFindings);
        const QString b = pairs.add(QStringLiteral("b.txt"), kClean, kClean);
        const QString c = pairs.add(QStringLiteral("c.txt"), kWithFindings, kClean);
        Sheet sheet(pairs);
        FindingsPanel& findings = sheet.page().findings();

        // One file: its findings at once.
        sheet.verify({a}, pairs.target);
        QCOMPARE(findings.shownPair(), std::optional<std::size_t>(0));
        const int shownRows = findings.table().model()->rowCount();
        QVERIFY(shownRows > 0);
        QCOMPARE(static_cast<std::size_t>(shownRows), findings.pairs()[0].rows.size());

        sheet.verify({a, b, c}, pairs.target);
        QCOMPARE(findings.pairs().size(), 4u);
        // Several files: the table waits for a choice in the results.
        QCOMPARE(findings.shownPair(), std::optional<std::size_t>(0));
        const std::vector<std::string> lines = sheet.lines();
        const int cRow = rowOf(lines, "Verifying " + toPath(c));
        QVERIFY(cRow > 0);
        QListView& results = sheet.page().resultsView();
        results.setCurrentIndex(results.model()->index(cRow + 1, 0));
        QCOMPARE(findings.shownPair(), std::optional<std::size_t>(3));
        QCOMPARE(findings.table().model()->rowCount(),
                 static_cast<int>(findings.pairs()[3].rows.size()));
        // A line between pairs leaves the table as it is.
        results.setCurrentIndex(results.model()->index(1, 0));
        QCOMPARE(findings.shownPair(), std::optional<std::size_t>(3));

        sheet.page().clearButton().click();
        QVERIFY(findings.pairs().empty());
        QCOMPARE(findings.table().model()->rowCount(), 0);
    }

    void aReportOpensInTheAppWhenNoProgramTakesIt() {
        Pairs pairs;
        const QString a = pairs.add(QStringLiteral("a.txt"), kClean, kWithFindings);
        Sheet sheet(pairs);
        sheet.verify({a}, pairs.target);
        sheet.dialogs.documentsOpen = false;
        const int row = rowOf(sheet.lines(), "Verifying " + toPath(a));
        sheet.page().openReportOfLine(row);
        QCOMPARE(sheet.dialogs.opened.back(), pairs.target + "a.CMP");
        ReportWindow* report = sheet.page().reportWindow();
        QVERIFY(report != nullptr && report->isVisible());
        const QString firstLine = QString::fromLatin1(read(pairs.target + "a.CMP").split('\r')[0]);
        QCOMPARE(report->text().lineText(1), firstLine);
        QVERIFY(report->text().lineCount() > 5);
    }

    void anRtfReportOpensItsFindingsBesideTheTexts() {
        Pairs pairs;
        const QString a = pairs.add(QStringLiteral("a.rtf"), rtfOf(kClean).toLatin1(),
                                    rtfOf(kWithFindings).toLatin1());
        VerifySettings settings = Sheet::settingsFor(pairs, 1);
        settings.fileFormat = FileFormat::Rtf;
        Sheet sheet(settings);
        sheet.verify({a}, pairs.target);
        QVERIFY(QFile::exists(pairs.target + "a.CMP"));
        sheet.dialogs.documentsOpen = false;
        sheet.page().openReportOfLine(rowOf(sheet.lines(), "Verifying " + toPath(a)));
        FindingsPanel& findings = sheet.page().findings();
        QCOMPARE(findings.openedFinding(), (FindingPlace{0, 0}));
        QVERIFY(findings.sideBySide().isVisible());
        QCOMPARE(findings.sideBySide().messageText(),
                 QString::fromStdString(findings.pairs()[0].rows[0].message));
        QVERIFY(sheet.page().reportWindow() == nullptr);
    }

    // The desktop's open call says yes once its helper has started, so the app asks first
    // whether any program is registered for the report's type.
    void aReportWithoutARegisteredProgramIsSaidToHaveNone() {
        if (QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()) {
            QSKIP("xdg-mime is not installed");
        }
        QTemporaryDir home;
        const QString config = home.filePath(QStringLiteral("config"));
        const QString data = home.filePath(QStringLiteral("data"));
        QDir().mkpath(config);
        QDir().mkpath(data + QStringLiteral("/applications"));
        // The types of files still come from the system; the programs only from the test.
        const QString types = QStringLiteral("/usr/share/mime");
        if (!QFileInfo(types).isDir()) QSKIP("no shared MIME database in /usr/share/mime");
        QVERIFY(QFile::link(types, data + QStringLiteral("/mime")));
        const QList<QByteArray> names = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME",
                                         "XDG_DATA_DIRS", "XDG_CURRENT_DESKTOP"};
        QList<std::optional<QByteArray>> saved;
        for (const QByteArray& name : names) {
            saved.push_back(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name))
                                                            : std::nullopt);
        }
        const auto restore = qScopeGuard([&] {
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (saved[i]) {
                    qputenv(names[i], *saved[i]);
                } else {
                    qunsetenv(names[i]);
                }
            }
        });
        qputenv("XDG_CONFIG_HOME", config.toLocal8Bit());
        qputenv("XDG_CONFIG_DIRS", config.toLocal8Bit());
        qputenv("XDG_DATA_HOME", data.toLocal8Bit());
        qputenv("XDG_DATA_DIRS", data.toLocal8Bit());
        qputenv("XDG_CURRENT_DESKTOP", "X-Generic");
        const QString report = home.filePath(QStringLiteral("a.CMP"));
        write(report, "Verification Report\r\n");
        QVERIFY(!desktopHasProgramFor(report));

        write(data + QStringLiteral("/applications/reader.desktop"),
              "[Desktop Entry]\nType=Application\nName=Reader\nExec=true %f\n"
              "MimeType=text/plain;\n");
        write(config + QStringLiteral("/mimeapps.list"),
              "[Default Applications]\ntext/plain=reader.desktop\n");
        QVERIFY(desktopHasProgramFor(report));
    }

    void splitterAndTextsWindowKeptInTheLayout() {
        Pairs pairs;
        Sheet sheet(pairs);
        sheet.sheet->resize(sheet.sheet->neededSize() + QSize(0, 300));
        QSplitter& splitter = sheet.page().splitter();
        QTRY_VERIFY(splitter.sizes().value(1) > 0);
        splitter.setSizes({100, 400});
        const WindowLayout layout = sheet.sheet->windowLayout();
        // Shared as set, in the height the splitter has.
        QVERIFY(layout.resultsHeight * 3 < layout.findingsHeight);

        Sheet again(pairs);
        again.sheet->restoreLayout(layout);
        again.sheet->resize(sheet.sheet->size());
        QTRY_COMPARE(again.page().splitter().sizes(), splitter.sizes());
        QCOMPARE(again.page().findings().sideBySide().size(),
                 QSize(layout.texts.width, layout.texts.height));
    }
};

}  // namespace brevo::app::test

QTEST_MAIN(brevo::app::test::VerifyFindingsTest)
#include "verify_findings_test.moc"
