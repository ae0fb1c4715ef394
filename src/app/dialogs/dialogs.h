#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QDialog;
class QWidget;

namespace brevo::app {

// The translated files chosen in the file picker.
struct FileChoice {
    QStringList files;  // full paths, in the order the picker gives them
    QString directory;  // their directory, with its final separator
};

// Every dialog and message box that the windows show passes through here, so that tests can
// answer them in place of a user.
class Dialogs {
public:
    enum class Icon { None, Stop, Question, Information, Warning };
    // YesYesToAllNoCancel: the overwrite question, where "Yes to All" answers the rest too.
    enum class Buttons { Ok, YesNo, YesNoCancel, YesYesToAllNoCancel };
    enum class Answer { Ok, Yes, YesToAll, No, Cancel };

    virtual ~Dialogs() = default;

    // A message box with the program's caption.
    virtual Answer message(QWidget* owner, const QString& text, Icon icon, Buttons buttons) = 0;

    virtual std::optional<FileChoice> chooseFiles(QWidget* owner, const QString& title,
                                                  const QString& filter,
                                                  const QString& startDirectory) = 0;
    // A directory, with its final separator.
    virtual std::optional<QString> chooseDirectory(QWidget* owner, const QString& title,
                                                   const QString& startDirectory) = 0;
    // Opens in `startDirectory` with `proposedName` filled in.
    virtual std::optional<QString> chooseSaveFile(QWidget* owner, const QString& title,
                                                  const QString& filter,
                                                  const QString& startDirectory,
                                                  const QString& proposedName) = 0;

    // Runs one of the program's own modal dialogs; answers QDialog::Accepted or Rejected.
    virtual int run(QDialog& dialog) = 0;

    // Opens a file in the program the system uses for it (the help page, a report); false
    // when the file is missing or the system has no program for it.
    virtual bool openDocument(const QString& path) = 0;
};

}  // namespace brevo::app
