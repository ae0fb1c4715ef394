// The findings of a batch in the window: the table with its filters and counts, the walk from
// the keyboard, and each finding beside the two texts, decoded and marked where the report says.

#include "app/findings/findings_panel.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>

#include "../test_support.h"
#include "app/findings/findings_table_model.h"
#include "app/findings/line_text_view.h"
#include "app/findings/side_by_side_view.h"
#include "batch/verify_batch.h"
#include "gui_support.h"

namespace brevo::app::test {
namespace {

Finding finding(int number, Severity severity, std::string text, std::vector<SegmentRef> segments) {
    Finding made;
    made.number = number;
    made.severity = severity;
    made.text = std::move(text);
    made.segments = std::move(segments);
    made.file = Side::Target;
    return made;
}

PairRecord record(const std::string& name, std::vector<Finding> findings) {
    PairRecord made;
    made.sourcePath = "/nowhere/source/" + name;
    made.targetPath = "/nowhere/target/" + name;
    made.reportPath = "/nowhere/target/" + name + ".CMP";
    made.outcome.findings = std::move(findings);
    made.outcome.sourceCodePage = 1252;
    made.outcome.targetCodePage = 1252;
    return made;
}

// Three findings of every kind in one file, one in another.
struct Batch {
    ScriptedDialogs dialogs;
    FindingsPanel panel{dialogs};

    Batch() {
        panel.addPair(
            record("a.txt",
                   {finding(1, Severity::Alert, "[1] ALERT! <ie> deleted", {{Side::Source, 3, 13}}),
                    finding(2, Severity::Error, "[2] ERROR! <:b> missing", {{Side::Target, 4, 20}}),
                    finding(3, Severity::Warning, "[3] WARNING! check",
                            {{Side::Target, 5, 9}, {Side::Source, 5, 9}})}),
            FileFormat::Text);
        panel.addPair(record("b.txt", {}), FileFormat::Text);
        panel.addPair(record("c.txt", {finding(1, Severity::Error, "[1] ERROR! <:i> missing", {})}),
                      FileFormat::Text);
        panel.resize(700, 400);
        panel.show();
    }
    QTableView& table() { return panel.table(); }
    QString cell(int row, int column) {
        return table().model()->index(row, column).data().toString();
    }
    QStringList numbers() {
        QStringList all;
        for (int row = 0; row < table().model()->rowCount(); ++row) all << cell(row, 0);
        return all;
    }
};

BatchResult verified(const Pairs& pairs, const QStringList& names, FileFormat format,
                     const std::string& targetLanguage) {
    BatchRequest request;
    for (const QString& name : names) request.files.push_back(toPath(pairs.target + name));
    request.sourceDir = toPath(pairs.source);
    request.targetDir = toPath(pairs.target);
    request.options.fileFormat = format;
    request.options.overwriteFiles = true;
    request.options.keepFindings = true;
    request.targetLanguage = targetLanguage;
    brevo::test::LogUser user;
    return verifyBatch(request, user);
}

// A key pressed where the user is: in the window that is active.
void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* window = QApplication::activeWindow();
    QVERIFY(window != nullptr);
    QWidget* focus = window->focusWidget();
    QTest::keyClick(focus != nullptr ? focus : window, key, modifiers);
}

void activate(QWidget& window) {
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

// Every finding, opened in turn with F8, lands on the line the verifier gave it in each file,
// on a line that holds the tag its segment starts with.
void expectEveryFindingOnItsLines(FindingsPanel& panel, int expected) {
    int seen = 0;
    for (std::size_t pair = 0; pair < panel.pairs().size(); ++pair) {
        for (const FindingRow& row : panel.pairs()[pair].rows) {
            press(Qt::Key_F8);
            QVERIFY(panel.openedFinding());
            QCOMPARE(panel.openedFinding()->pair, pair);
            SideBySideView& view = panel.sideBySide();
            QCOMPARE(view.messageText(), QString::fromStdString(row.message));
            for (auto [spot, text] : {std::pair{row.source, &view.sourceText()},
                                      std::pair{row.target, &view.targetText()}}) {
                if (!spot) {
                    QCOMPARE(text->markedLines().first, 0u);
                    continue;
                }
                QCOMPARE(text->markedLines().first, spot->line);
                QVERIFY(text->lineText(static_cast<int>(spot->line)).contains(QLatin1Char('<')));
                const int line = static_cast<int>(spot->line);
                QVERIFY(text->lineVisible(line));
                // Centred, unless the file's start or end is in view.
                const int centre = text->centreLine();
                if (!text->lineVisible(1) && !text->lineVisible(text->lineCount())) {
                    QVERIFY2(
                        std::abs(centre - line) <= 2,
                        qPrintable(QStringLiteral("line %1 centred at %2").arg(line).arg(centre)));
                }
            }
            ++seen;
        }
    }
    QCOMPARE(seen, expected);
}

}  // namespace

class FindingsPanelTest : public QObject {
    Q_OBJECT

private slots:
    void tableShowsOneFilesFindingsWithCountsFiltersAndSorting() {
        Batch batch;
        QCOMPARE(batch.table().model()->rowCount(), 0);
        batch.panel.showPair(0);
        QCOMPARE(batch.numbers(), (QStringList{"1", "2", "3"}));
        QCOMPARE(batch.cell(1, 1), QStringLiteral("ERROR"));
        QCOMPARE(batch.cell(1, 2), QStringLiteral("[2] ERROR! <:b> missing"));
        QCOMPARE(batch.cell(0, 3), QStringLiteral("13"));
        QCOMPARE(batch.cell(0, 4), QString());
        QCOMPARE(batch.panel.errorsBox().text(), QStringLiteral("Err&ors (1)"));
        QCOMPARE(batch.panel.alertsBox().text(), QStringLiteral("&Alerts (1)"));
        QCOMPARE(batch.panel.warningsBox().text(), QStringLiteral("&Warnings (1)"));
        // The severity reads as a word and an icon, with a colour on top.
        const QModelIndex severity = batch.table().model()->index(0, 1);
        QVERIFY(!severity.data(Qt::DecorationRole).value<QIcon>().isNull());
        QVERIFY(severity.data(Qt::ForegroundRole).isValid());

        batch.table().sortByColumn(FindingsTableModel::SeverityColumn, Qt::AscendingOrder);
        QCOMPARE(batch.numbers(), (QStringList{"2", "1", "3"}));
        // A finding without a line in the file sorts after every line.
        batch.table().sortByColumn(FindingsTableModel::TargetColumn, Qt::AscendingOrder);
        QCOMPARE(batch.numbers(), (QStringList{"3", "2", "1"}));
        batch.table().sortByColumn(FindingsTableModel::NumberColumn, Qt::AscendingOrder);

        batch.panel.alertsBox().setChecked(false);
        QCOMPARE(batch.numbers(), (QStringList{"2", "3"}));
        batch.panel.filterEdit().setText(QStringLiteral("<:B>"));
        QCOMPARE(batch.numbers(), (QStringList{"2"}));
        batch.panel.filterEdit().clear();
        batch.panel.alertsBox().setChecked(true);
        QCOMPARE(batch.numbers().size(), 3);

        batch.panel.showPair(2);
        QCOMPARE(batch.panel.errorsBox().text(), QStringLiteral("Err&ors (1)"));
        QCOMPARE(batch.panel.warningsBox().text(), QStringLiteral("&Warnings (0)"));
        batch.panel.clear();
        QCOMPARE(batch.table().model()->rowCount(), 0);
        QVERIFY(batch.panel.pairs().empty());
    }

    void keyboardOpensFindingsAndF8WalksTheBatch() {
        Batch batch;
        batch.panel.showPair(0);
        activate(batch.panel);
        batch.table().setFocus();
        // The table starts on its first row.
        press(Qt::Key_Down);
        QCOMPARE(batch.table().currentIndex().row(), 1);
        press(Qt::Key_Return);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{0, 1}));
        QVERIFY(QTest::qWaitForWindowActive(&batch.panel.sideBySide()));
        QCOMPARE(batch.panel.sideBySide().messageText(), QStringLiteral("[2] ERROR! <:b> missing"));

        // F8 goes on into the next file with findings and round to the first; the table follows.
        press(Qt::Key_F8);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{0, 2}));
        press(Qt::Key_F8);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{2, 0}));
        QCOMPARE(batch.panel.shownPair(), std::optional<std::size_t>(2));
        QCOMPARE(batch.cell(batch.table().currentIndex().row(), 2),
                 QStringLiteral("[1] ERROR! <:i> missing"));
        press(Qt::Key_F8);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{0, 0}));
        press(Qt::Key_F8, Qt::ShiftModifier);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{2, 0}));
        // Escape closes the window beside the texts.
        QTest::keyClick(&batch.panel.sideBySide().targetText(), Qt::Key_Escape);
        QVERIFY(!batch.panel.sideBySide().isVisible());

        // From the table too; the filter holds for the walk: without errors, file c has
        // nothing to stop at.
        batch.panel.errorsBox().setChecked(false);
        batch.panel.showPair(0);
        activate(batch.panel);
        batch.table().setFocus();
        press(Qt::Key_F8);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{0, 0}));
        press(Qt::Key_F8);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{0, 2}));
        press(Qt::Key_F8);
        QCOMPARE(batch.panel.openedFinding(), (FindingPlace{0, 0}));
    }

    void japaneseTargetShownDecodedWithEveryFindingOnItsSegment() {
        Pairs pairs;
        // Long enough that the view has to scroll to each finding.
        const QByteArray filler = QByteArray("<ps \"Body\">Filler\n").repeated(150);
        const QByteArray source = brx("<file \"x\">\n<page \"1\">\n" + filler +
                                      "<ps \"Body\">Press <:b>Start<:/b> now.\n\n"
                                      "<ps \"Body\">Second\n<ps \"Cell\">Third\n" +
                                      filler + "</page>\n</file \"x\">\n</brx>\n");
        // Shift-JIS text, CR LF breaks and a blank line; two paragraph formats have changed.
        QByteArray crLfFiller = filler;
        crLfFiller.replace("\n", "\r\n");
        const QByteArray target =
            brx("<file \"x\">\r\n<page \"1\">\r\n" + crLfFiller +
                "<ps \"Body\">\x83\x58\x83\x5e\x81\x5b\x83\x67\x82\xf0\x89\x9f\x82\xb7\r\n\r\n"
                "<ps \"Note\">\x93\xf1\r\n<ps \"Body\">\x8e\x4f\r\n" +
                crLfFiller + "</page>\r\n</file \"x\">\r\n</brx>\r\n");
        pairs.add(QStringLiteral("ja.txt"), source, target);
        const BatchResult result =
            verified(pairs, {QStringLiteral("ja.txt")}, FileFormat::Text, "Japanese");
        QCOMPARE(result.pairs.size(), 1u);
        QVERIFY(result.pairs[0].outcome.findings.size() >= 2);

        ScriptedDialogs dialogs;
        FindingsPanel panel(dialogs);
        panel.addPair(result.pairs[0], FileFormat::Text);
        panel.show();
        activate(panel);
        expectEveryFindingOnItsLines(panel,
                                     static_cast<int>(result.pairs[0].outcome.findings.size()));
        // "スタートを押す", decoded from Shift-JIS on the line the verifier counts as 157.
        LineTextView& targetText = panel.sideBySide().targetText();
        QCOMPARE(targetText.lineText(157),
                 QStringLiteral("<ps \"Body\">\u30b9\u30bf\u30fc\u30c8\u3092\u62bc\u3059"));
        QCOMPARE(targetText.lineCount(), 313);
    }

    void rtfAndChineseFilesShownAsTheDecodedLinesTheVerifierReads() {
        Pairs pairs;
        const auto rtf = [](const QByteArray& lines) {
            QByteArray body = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n";
            for (const QByteArray& line : lines.split('\n')) {
                if (!line.isEmpty()) body += line + "\\par\n";
            }
            return body + "}";
        };
        const QByteArray source = rtf(
            brx("<file \"x\">\n<page \"1\">\n<ps \"Body\">Open <:i>File<:/i>\n<ps \"Body\">Two\n"
                "<tb 1>\n</tb>\n</page>\n</file \"x\">\n</brx>\n"));
        // "打开文件" in GBK, written as RTF escapes; the italic tags and the table are gone.
        const QByteArray target = rtf(brx(
            "<file \"x\">\n<page \"1\">\n<ps \"Body\">\\'b4\\'f2\\'bf\\'aa\\'ce\\'c4\\'bc\\'fe\n"
            "<ps \"Body\">\\'b6\\'fe\n</page>\n</file \"x\">\n</brx>\n"));
        pairs.add(QStringLiteral("zh.rtf"), source, target);
        const BatchResult result =
            verified(pairs, {QStringLiteral("zh.rtf")}, FileFormat::Rtf, "Chinese (Simplified)");
        QCOMPARE(result.pairs.size(), 1u);
        QVERIFY(!result.pairs[0].outcome.findings.empty());

        ScriptedDialogs dialogs;
        FindingsPanel panel(dialogs);
        panel.addPair(result.pairs[0], FileFormat::Rtf);
        panel.show();
        activate(panel);
        expectEveryFindingOnItsLines(panel,
                                     static_cast<int>(result.pairs[0].outcome.findings.size()));
        LineTextView& targetText = panel.sideBySide().targetText();
        QCOMPARE(targetText.lineText(7), QStringLiteral("<ps \"Body\">\u6253\u5f00\u6587\u4ef6"));
        QCOMPARE(targetText.lineCount(), 11);
        QCOMPARE(panel.sideBySide().sourceText().lineText(7),
                 QStringLiteral("<ps \"Body\">Open <:i>File<:/i>"));
    }

    void openInEditorSaysWhenNoProgramIsRegistered() {
        Batch batch;
        batch.panel.openFinding({0, 1});
        SideBySideView& view = batch.panel.sideBySide();
        batch.dialogs.documentsOpen = false;
        view.openTargetButton().click();
        QCOMPARE(batch.dialogs.shown.size(), 1u);
        QVERIFY(batch.dialogs.shown[0].text.contains(QStringLiteral("No program is registered")));
        QVERIFY(batch.dialogs.shown[0].text.contains(QStringLiteral("/nowhere/target/a.txt")));
        QVERIFY(batch.dialogs.shown[0].text.contains(QStringLiteral("line is 20")));
        batch.dialogs.documentsOpen = true;
        view.openSourceButton().click();
        QCOMPARE(batch.dialogs.opened.back(), QStringLiteral("/nowhere/source/a.txt"));
        QCOMPARE(batch.dialogs.shown.size(), 1u);
        // The finding names no source line, and the file cannot be read: both are said.
        QVERIFY(view.statusText().contains(QStringLiteral("line -")));
    }
};

}  // namespace brevo::app::test

QTEST_MAIN(brevo::app::test::FindingsPanelTest)
#include "findings_panel_test.moc"
