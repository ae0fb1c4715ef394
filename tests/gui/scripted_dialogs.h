#pragma once

#include <QDialog>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "app/dialogs.h"

namespace brevo::app::test {

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
                                          const QString& proposedName) override {
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
    QString proposedSaveName;
    std::vector<QString> opened;
};

}  // namespace brevo::app::test
