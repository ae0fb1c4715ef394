#pragma once

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QString>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "app/batch/results_model.h"
#include "app/dialogs/dialogs.h"
#include "app/model/verify_settings.h"
#include "app/pages/verify_page.h"
#include "app/platform/qt_text.h"
#include "app/property_sheet.h"

namespace brevo::app::test {

using Answer = Dialogs::Answer;
using Icon = Dialogs::Icon;

// Dialogs answered by the test: what the user would choose, given in advance, and a record of
// every message shown.
class ScriptedDialogs : public Dialogs {
public:
    struct Shown {
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer message(QWidget*, const QString& text, Icon icon, Buttons buttons) override {
        shown.push_back({text, icon, buttons});
        if (onMessage) onMessage(shown.back());
        if (answers.empty()) return buttons == Buttons::Ok ? Answer::Ok : Answer::Yes;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    std::optional<FileChoice> chooseFiles(QWidget*, const QString& title, const QString& filter,
                                          const QString& startDirectory) override {
        askedFiles.push_back({title, filter, startDirectory});
        return files;
    }

    std::optional<QString> chooseDirectory(QWidget*, const QString&,
                                           const QString& startDirectory) override {
        askedDirectoryFrom.push_back(startDirectory);
        return directory;
    }

    std::optional<QString> chooseSaveFile(QWidget*, const QString&, const QString&,
                                          const QString& startDirectory,
                                          const QString& proposedName) override {
        saveStartDirectory = startDirectory;
        proposedSaveName = proposedName;
        return saveFile;
    }

    int run(QDialog& dialog) override {
        if (onDialog) return onDialog(dialog);
        dialog.accept();
        return dialog.result();
    }

    bool openDocument(const QString& path) override {
        opened.push_back(path);
        return documentsOpen;
    }

    // The answers to message boxes in turn; without one, Yes or OK.
    std::deque<Answer> answers;
    std::function<void(const Shown&)> onMessage;
    std::optional<FileChoice> files;
    std::optional<QString> directory;
    std::optional<QString> saveFile;
    std::function<int(QDialog&)> onDialog;
    bool documentsOpen = true;

    std::vector<Shown> shown;
    std::vector<QStringList> askedFiles;
    std::vector<QString> askedDirectoryFrom;
    QString saveStartDirectory;
    QString proposedSaveName;
    std::vector<QString> opened;
};

inline QByteArray brx(const QByteArray& body) {
    return "<brx \"I2.00\">\n<language \"German\">\n<quotes \"As text\">\n"
           "<readonly \"Translate\">\n" +
           body;
}

inline const QByteArray kClean =
    brx("<file \"x\">\n<page \"1\">\n<ps \"Body\">Hello\n</page>\n</file \"x\">\n</brx>\n");
inline const QByteArray kWithFindings =
    brx("<file \"x\">\n<page \"1\">\n<ps \"Body\">Hallo\n<ps \"Body\">Welt\n</page>\n"
        "</file \"x\">\n</brx>\n");
inline const QByteArray kTruncated = "<brx \"I2.00\">\n";

// A text BRX file of `paragraphs` paragraphs and then `extra`: at 100,000 paragraphs (4.5 MB)
// a pair takes long enough to be caught in the middle.
inline QByteArray longBrx(int paragraphs, const QByteArray& extra = {}) {
    QByteArray body = "<file \"x\">\n<page \"1\">\n";
    body.reserve(paragraphs * 45);
    for (int i = 0; i < paragraphs; ++i) {
        body += "<ps \"Body\">Hello <:b>world<:/b> number " + QByteArray::number(i) + '\n';
    }
    return brx(body + extra + "</page>\n</file \"x\">\n</brx>\n");
}
inline constexpr int kLongParagraphs = 100000;

inline void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

inline QByteArray read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A source and a target directory with pairs of text BRX files.
struct Pairs {
    QTemporaryDir root;
    QString source = root.filePath(QStringLiteral("source")) + '/';
    QString target = root.filePath(QStringLiteral("target")) + '/';

    Pairs() {
        QDir(root.path()).mkdir(QStringLiteral("source"));
        QDir(root.path()).mkdir(QStringLiteral("target"));
    }
    QString add(const QString& name, const QByteArray& sourceBytes, const QByteArray& targetBytes) {
        write(source + name, sourceBytes);
        write(target + name, targetBytes);
        return target + name;
    }
};

// A sheet on the offscreen screen, with settings that point at the pairs.
struct Sheet {
    ScriptedDialogs dialogs;
    std::unique_ptr<CMyPropertySheet> sheet;

    explicit Sheet(const Pairs& pairs, int overwriteFiles = 1)
        : Sheet(settingsFor(pairs, overwriteFiles)) {}

    explicit Sheet(const VerifySettings& settings) {
        sheet = std::make_unique<CMyPropertySheet>(dialogs, settings, home());
        sheet->show();
        QVERIFY(QTest::qWaitForWindowActive(sheet.get()));
    }

    static std::string home() { return toPath(QDir::homePath() + '/'); }
    static VerifySettings settingsFor(const Pairs& pairs, int overwriteFiles) {
        VerifySettings settings = defaultSettings(home());
        settings.fileFormat = FileFormat::Text;
        settings.overwriteFiles = overwriteFiles != 0;
        settings.orgFilesPath = toPath(pairs.source);
        settings.translatedFilesPath = toPath(pairs.target);
        return settings;
    }
    CMyPropertyPage2& page() { return sheet->verifyPage(); }

    // Chooses `files` in the picker, confirms, and waits for the batch to end.
    void verify(const QStringList& files, const QString& directory) {
        dialogs.files = FileChoice{files, directory};
        QSignalSpy finished(&page(), &CMyPropertyPage2::batchFinished);
        page().verifyButton().click();
        QVERIFY(finished.count() == 1 || finished.wait(30000));
    }
    std::vector<std::string> lines() { return page().resultLines(); }
};

}  // namespace brevo::app::test
