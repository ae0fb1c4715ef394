#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;

namespace brevo::app {

class Dialogs;

// Asked before a batch starts: how many files, where their sources are (which the user may
// change), and where the reports will go.
class ConfirmVerifyDialog : public QDialog {
    Q_OBJECT

public:
    ConfirmVerifyDialog(QWidget* owner, Dialogs& dialogs, int fileCount,
                        const QString& sourceDirectory, const QString& targetDirectory,
                        bool browseFromSource);

    QString sourceDirectory() const;
    QLineEdit& sourceEdit() { return *sourceEdit_; }
    QPushButton& browseButton() { return *browseButton_; }

    // OK: refused for the target directory under any name and for a directory that does not
    // exist.
    void accept() override;
    void browse();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Dialogs& dialogs_;
    QString targetDirectory_;
    bool browseFromSource_;
    QLineEdit* sourceEdit_;
    QPushButton* browseButton_;
};

}  // namespace brevo::app
