#pragma once

#include <QFileDialog>

namespace brevo::app {

// Moves `dialog` over `owner` each time it is shown, as centreOverOwner places it.
void centreOverOwnerWhenShown(QWidget* dialog, QWidget* owner);

// Chooses the translated files to verify: several files of one format in one directory.
class MultiFilePicker : public QFileDialog {
public:
    MultiFilePicker(QWidget* owner, const QString& title, const QString& filter,
                    const QString& startDirectory);

    QStringList chosenFiles() const { return selectedFiles(); }
    // The directory of the choice, with its final separator.
    QString chosenDirectory() const;
};

// Chooses a directory; it is given with its final separator.
class DirectoryPicker : public QFileDialog {
public:
    DirectoryPicker(QWidget* owner, const QString& title, const QString& startDirectory);

    QString chosenDirectory() const;
};

}  // namespace brevo::app
