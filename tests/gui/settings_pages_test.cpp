// The Paths, Settings and About pages, and the batch made from what they hold.

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>

#include "app/dialogs/confirm_verify_dialog.h"
#include "app/model/settings_rules.h"
#include "app/pages/about_page.h"
#include "app/pages/paths_page.h"
#include "app/pages/settings_page.h"
#include "app/platform/qt_settings_store.h"
#include "gui_support.h"

namespace brevo::app::test {

class SettingsPagesTest : public QObject {
    Q_OBJECT

private:
    static CMyPropertyPage4V& openPaths(Sheet& sheet) {
        sheet.sheet->tabs().setCurrentIndex(1);
        return sheet.sheet->pathsPage();
    }

private slots:
    void leavingAnEditAddsTheSeparator() {
        Pairs pairs;
        Sheet sheet(pairs);
        CMyPropertyPage4V& paths = openPaths(sheet);
        QCOMPARE(paths.sourceEdit().text(), pairs.source);
        paths.sourceEdit().setFocus();
        paths.sourceEdit().setText(pairs.root.filePath("target"));
        paths.translatedEdit().setFocus();
        QCOMPARE(paths.sourceEdit().text(), pairs.target);
        QCOMPARE(sheet.sheet->settings().orgFilesPath, toPath(pairs.target));
    }

    void duringSessionSwitchesTheRestOffAndOn() {
        Pairs pairs;
        VerifySettings settings = Sheet::settingsFor(pairs, 0);
        settings.translatedFilesPath = toPath(pairs.root.filePath("gone/"));
        Sheet sheet(settings);
        CMyPropertyPage4V& paths = openPaths(sheet);
        paths.duringSession().click();
        QVERIFY(!paths.duringSession().isChecked());
        QVERIFY(!paths.betweenSessions().isChecked());
        QVERIFY(!paths.betweenSessions().isEnabled());
        QVERIFY(!paths.sourceEdit().isEnabled());
        QVERIFY(!paths.translatedEdit().isEnabled());
        QVERIFY(paths.browseSourceButton().isEnabled());
        QCOMPARE(paths.sourceEdit().text(), pairs.source);
        QCOMPARE(paths.translatedEdit().text(), QString::fromStdString(Sheet::home()));
        QVERIFY(!sheet.sheet->settings().keepPathsBetweenSessions);

        // The Browse buttons still work, from the current directory, into the disabled edits.
        sheet.dialogs.directory = pairs.target;
        paths.browseSourceButton().click();
        QCOMPARE(sheet.dialogs.askedDirectoryFrom.back(), QString());
        QCOMPARE(paths.sourceEdit().text(), pairs.target);

        paths.duringSession().click();
        QVERIFY(paths.betweenSessions().isEnabled());
        QVERIFY(!paths.betweenSessions().isChecked());
        QVERIFY(paths.sourceEdit().isEnabled());
        sheet.dialogs.directory = pairs.source;
        paths.browseSourceButton().click();
        QCOMPARE(sheet.dialogs.askedDirectoryFrom.back(), pairs.target);
        QCOMPARE(sheet.sheet->settings().orgFilesPath, toPath(pairs.source));
    }

    void aMissingDirectoryKeepsThePageOnlyWhenKeptDuringTheSession() {
        Pairs pairs;
        Sheet sheet(pairs);
        CMyPropertyPage4V& paths = openPaths(sheet);
        paths.sourceEdit().setText(pairs.root.filePath("nowhere"));
        sheet.sheet->tabs().setCurrentIndex(2);
        QCOMPARE(sheet.sheet->tabs().currentIndex(), 1);
        QCOMPARE(sheet.dialogs.shown.back().text,
                 QStringLiteral("The path you entered doesn't exist. Please try again."));
        QCOMPARE(sheet.dialogs.shown.back().icon, Icon::Stop);

        paths.duringSession().click();
        sheet.sheet->tabs().setCurrentIndex(2);
        QCOMPARE(sheet.sheet->tabs().currentIndex(), 2);

        // Exit checks the directories whatever the switch says.
        sheet.sheet->tabs().setCurrentIndex(1);
        paths.sourceEdit().setText(pairs.root.filePath("nowhere"));
        const std::size_t shown = sheet.dialogs.shown.size();
        sheet.sheet->exitButton().click();
        QVERIFY(sheet.sheet->isVisible());
        QCOMPARE(sheet.dialogs.shown.size(), shown + 1);
        paths.sourceEdit().setText(pairs.source);
        sheet.sheet->exitButton().click();
        QVERIFY(!sheet.sheet->isVisible());
    }

    void aDirectoryNameLongerThan260CharactersIsRefused() {
        Pairs pairs;
        Sheet sheet(pairs);
        CMyPropertyPage4V& paths = openPaths(sheet);
        const QString tooLong = pairs.source + QString(261 - pairs.source.size(), 'x');
        paths.translatedEdit().setText(tooLong);
        QVERIFY(!paths.saveData());
        QCOMPARE(sheet.dialogs.shown.back().text,
                 QStringLiteral("Please enter no more than 260 characters."));
        QCOMPARE(paths.translatedEdit().text(), tooLong);  // nothing cut off
        QCOMPARE(sheet.sheet->settings().translatedFilesPath, toPath(pairs.target));
        sheet.sheet->tabs().setCurrentIndex(0);
        QCOMPARE(sheet.sheet->tabs().currentIndex(), 1);
        paths.translatedEdit().setText(tooLong.left(260));
        QVERIFY(paths.saveData());
    }

    void theLanguageListSelectsByPrefix() {
        Pairs pairs;
        VerifySettings settings = Sheet::settingsFor(pairs, 0);
        settings.targetLanguage = "japanese";
        Sheet sheet(settings);
        QCOMPARE(sheet.sheet->settings().targetLanguageSelection, 1000);
        sheet.sheet->tabs().setCurrentIndex(2);
        CMyPropertyPage5V& page = sheet.sheet->settingsPage();
        QCOMPARE(page.languages().count(), 18);
        QCOMPARE(page.languages().currentText(), QStringLiteral("Japanese (EUC)"));
        QCOMPARE(sheet.sheet->settings().targetLanguageSelection, 10);
        QVERIFY(page.alwaysPrompt().isChecked());
        QVERIFY(page.ansiText().isChecked());

        sheet.sheet->tabs().setCurrentIndex(0);
        sheet.sheet->settings().targetLanguage = "Klingon";
        sheet.sheet->tabs().setCurrentIndex(2);
        QCOMPARE(page.languages().currentIndex(), -1);
        sheet.sheet->tabs().setCurrentIndex(0);
        QCOMPARE(sheet.sheet->settings().targetLanguage, std::string());
        QCOMPARE(sheet.sheet->settings().targetLanguageSelection, -1);
    }

    void theBatchIsMadeFromThePages() {
        Pairs pairs;
        const QByteArray japanese =
            brx("<file \"x\">\n<page \"1\">\n<ps \"Body\">\xED\x40\n</page>\n</file \"x\">\n"
                "</brx>\n");
        const QString a = pairs.add("a.txt", kClean, japanese);
        write(pairs.target + "a.CMP", "old");
        VerifySettings settings = Sheet::settingsFor(pairs, 0);
        settings.fileFormat = FileFormat::Rtf;
        settings.orgFilesPath = Sheet::home();
        Sheet sheet(settings);

        sheet.sheet->tabs().setCurrentIndex(1);
        CMyPropertyPage4V& paths = sheet.sheet->pathsPage();
        paths.sourceEdit().setText(pairs.source);
        sheet.sheet->tabs().setCurrentIndex(2);
        CMyPropertyPage5V& options = sheet.sheet->settingsPage();
        options.ansiText().click();
        options.alwaysOverwrite().click();
        options.languages().setCurrentIndex(11);  // Japanese (Shift-JIS)
        QString confirmedSource;
        sheet.dialogs.onDialog = [&](QDialog& dialog) {
            confirmedSource = static_cast<ConfirmVerifyDialog&>(dialog).sourceDirectory();
            dialog.accept();
            return dialog.result();
        };
        sheet.sheet->tabs().setCurrentIndex(0);
        sheet.verify({a}, pairs.target);

        QCOMPARE(sheet.dialogs.askedFiles.back()[1], QStringLiteral("Text Files (*.TXT)"));
        QCOMPARE(sheet.dialogs.askedFiles.back()[2], pairs.target);
        QCOMPARE(confirmedSource, pairs.source);
        QCOMPARE(sheet.dialogs.shown.size(), std::size_t{1});  // no question, the summary
        QVERIFY(read(pairs.target + "a.CMP").contains("ALERT!"));
        QCOMPARE(sheet.lines()[5], std::string("Alerts: 1"));
    }

    void theSystemStoreKeepsNumbersAndTextUnderTheProgramsName() {
        QTemporaryDir config;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, config.path());
        {
            QtSettingsStore store(QStringLiteral("brevo-verifier"));
            VerifySettings settings = defaultSettings("/home/x/");
            settings.fileFormat = FileFormat::Text;
            settings.orgFilesPath = toPath(config.path() + "/");
            writeSettings(store, settings, "/home/x/");
            store.writeString("OPTIONS", "SMART_QUOTES", "off");
            store.flush();
        }
        QtSettingsStore store(QStringLiteral("brevo-verifier"));
        const VerifySettings read = readSettings(store, "/home/x/");
        QVERIFY(read.fileFormat == FileFormat::Text);
        QCOMPARE(read.orgFilesPath, toPath(config.path() + "/"));
        QCOMPARE(read.handedOn.smartQuotes, 1);  // text where a number belongs counts as missing
        QCOMPARE(store.readInt("OPTIONS", "SMART_QUOTES"), std::nullopt);
        QSettings file(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("KORVAN"),
                       QStringLiteral("The Brevo Verifier 2.0 for Interleaf"));
        QCOMPARE(file.value(QStringLiteral("brevo-verifier/OPTIONS/FILE_FORMAT_FOR_BRX")).toInt(),
                 0);
        QCOMPARE(file.value(QStringLiteral("brevo-verifier/PATHS/ORG_FILES")).toString(),
                 config.path() + "/");
    }

    void theAboutPageShowsFifteenLinesEachTime() {
        Pairs pairs;
        Sheet sheet(pairs);
        for (int visit = 0; visit < 2; ++visit) {
            sheet.sheet->tabs().setCurrentIndex(3);
            QListWidget& overview = sheet.sheet->aboutPage().overview();
            QCOMPARE(overview.count(), 15);
            QCOMPARE(overview.item(0)->text(), QStringLiteral("System Settings Overview:"));
            const QString memory = overview.item(2)->text();
            QVERIFY(memory.startsWith(QStringLiteral("Total Physical Memory: ")));
            QVERIFY(memory.section(' ', 3, 3).toLongLong() > 0);
            QVERIFY(overview.item(8)->text().contains(QStringLiteral(" MB on /")));
            QCOMPARE(overview.item(11)->text(), QStringLiteral("Operating System: Linux"));
            QVERIFY(overview.item(12)->text().section(' ', 2).toInt() >= 2);
            sheet.sheet->tabs().setCurrentIndex(0);
        }
    }
};

}  // namespace brevo::app::test

QTEST_MAIN(brevo::app::test::SettingsPagesTest)
#include "settings_pages_test.moc"
