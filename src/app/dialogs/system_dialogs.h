#pragma once

#include "app/dialogs/dialogs.h"

namespace brevo::app {

// The dialogs a user answers.
class SystemDialogs : public Dialogs {
public:
    Answer message(QWidget* owner, const QString& text, Icon icon, Buttons buttons) override;
    std::optional<FileChoice> chooseFiles(QWidget* owner, const QString& title,
                                          const QString& filter,
                                          const QString& startDirectory) override;
    std::optional<QString> chooseDirectory(QWidget* owner, const QString& title,
                                           const QString& startDirectory) override;
    std::optional<QString> chooseSaveFile(QWidget* owner, const QString& title,
                                          const QString& filter, const QString& startDirectory,
                                          const QString& proposedName) override;
    int run(QDialog& dialog) override;
    bool openDocument(const QString& path) override;
};

}  // namespace brevo::app
