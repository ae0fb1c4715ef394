// The main window on screens of today: resizable from the size it always had, its pages
// growing with it, its size kept between runs and never larger than the screen.

#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QtTest>

#include "app/controls/elided_label.h"
#include "app/dialogs/confirm_verify_dialog.h"
#include "gui_support.h"

namespace brevo::app::test {

class WindowSizeTest : public QObject {
    Q_OBJECT

private slots:
    void resizableFromItsOldSizeWithThePagesGrowing() {
        Pairs pairs;
        Sheet sheet(pairs);
        CMyPropertySheet& window = *sheet.sheet;
        const QSize needed = window.neededSize();
        QVERIFY(needed.width() > 300 && needed.height() > 200);
        QTRY_COMPARE(window.minimumSize(), needed);
        QVERIFY(window.maximumSize().width() > needed.width());
        QCOMPARE(window.size(), needed);

        const QSize pageBefore = sheet.page().size();
        const QSize splitBefore = sheet.page().splitter().size();
        window.resize(needed + QSize(100, 80));
        QTRY_COMPARE(sheet.page().size(), pageBefore + QSize(100, 80));
        // The results and the findings take all that the page gains.
        QCOMPARE(sheet.page().splitter().size(), splitBefore + QSize(100, 80));
        QCOMPARE(window.windowLayout().sheet, (Size{needed.width() + 100, needed.height() + 80}));
        // Smaller than the pages need it will not go.
        window.resize(needed - QSize(50, 50));
        QCOMPARE(window.size(), needed);
    }

    void reopensInTheSizeItWasLeftInWithinTheScreen() {
        Pairs pairs;
        Sheet sheet(pairs);
        CMyPropertySheet& window = *sheet.sheet;
        const QSize screen = window.screen()->availableGeometry().size();
        const QSize needed = window.neededSize();
        window.restoreLayout({{needed.width() + 20, needed.height() + 10}, 0, 0, {}, 0, 0});
        QCOMPARE(window.size(), needed + QSize(20, 10));
        window.restoreLayout({{screen.width() + 500, screen.height() + 500}, 0, 0, {}, 0, 0});
        QVERIFY(window.width() <= screen.width() && window.height() <= screen.height());
        window.restoreLayout({{100, 100}, 0, 0, {}, 0, 0});
        QCOMPARE(window.size(), needed);
    }

    void longPathsElidedInTheMiddleWithTheWholeAsTooltip() {
        ScriptedDialogs dialogs;
        const QString deep = QStringLiteral("/projects/") +
                             QString(QStringLiteral("chapter/")).repeated(40) +
                             QStringLiteral("final-target/");
        ConfirmVerifyDialog confirm(nullptr, dialogs, 3, QStringLiteral("/src/"), deep, false);
        confirm.show();
        const QList<ElidedLabel*> labels = confirm.findChildren<ElidedLabel*>();
        QCOMPARE(labels.size(), 1);
        const ElidedLabel& target = *labels.front();
        QCOMPARE(target.fullText(), deep);
        QCOMPARE(target.toolTip(), deep);
        // The start and the end of the path stay, the middle gives way.
        QVERIFY(target.text().size() < deep.size());
        QVERIFY(target.text().startsWith(QStringLiteral("/projects/")));
        QVERIFY(target.text().endsWith(QStringLiteral("final-target/")));
        QVERIFY(target.text().contains(QChar(0x2026)));
    }
};

}  // namespace brevo::app::test

QTEST_MAIN(brevo::app::test::WindowSizeTest)
#include "window_size_test.moc"
