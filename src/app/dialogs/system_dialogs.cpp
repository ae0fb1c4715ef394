#include "app/dialogs/system_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "app/app_texts.h"
#include "app/dialogs/pickers.h"
#include "app/platform/desktop_programs.h"

namespace brevo::app {
namespace {

QMessageBox::Icon boxIcon(Dialogs::Icon icon) {
    switch (icon) {
        case Dialogs::Icon::Stop:
            return QMessageBox::Critical;
        case Dialogs::Icon::Question:
            return QMessageBox::Question;
        case Dialogs::Icon::Information:
            return QMessageBox::Information;
        case Dialogs::Icon::Warning:
            return QMessageBox::Warning;
        case Dialogs::Icon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons boxButtons(Dialogs::Buttons buttons) {
    switch (buttons) {
        case Dialogs::Buttons::YesNo:
            return QMessageBox::Yes | QMessageBox::No;
        case Dialogs::Buttons::YesNoCancel:
            return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case Dialogs::Buttons::YesYesToAllNoCancel:
            return QMessageBox::Yes | QMessageBox::YesToAll | QMessageBox::No | QMessageBox::Cancel;
        case Dialogs::Buttons::Ok:
            break;
    }
    return QMessageBox::Ok;
}

Dialogs::Answer answerOf(int button) {
    switch (button) {
        case QMessageBox::Yes:
            return Dialogs::Answer::Yes;
        case QMessageBox::YesToAll:
            return Dialogs::Answer::YesToAll;
        case QMessageBox::No:
            return Dialogs::Answer::No;
        case QMessageBox::Cancel:
            return Dialogs::Answer::Cancel;
        default:
            return Dialogs::Answer::Ok;
    }
}

}  // namespace

Dialogs::Answer SystemDialogs::message(QWidget* owner, const QString& text, Icon icon,
                                       Buttons buttons) {
    QMessageBox box(boxIcon(icon), QString::fromLatin1(text::kCaption), text, boxButtons(buttons),
                    owner);
    if (buttons != Buttons::Ok) {
        box.setDefaultButton(QMessageBox::Yes);
    }
    return answerOf(box.exec());
}

std::optional<FileChoice> SystemDialogs::chooseFiles(QWidget* owner, const QString& title,
                                                     const QString& filter,
                                                     const QString& startDirectory) {
    MultiFilePicker picker(owner, title, filter, startDirectory);
    if (picker.exec() != QDialog::Accepted || picker.chosenFiles().isEmpty()) return std::nullopt;
    return FileChoice{picker.chosenFiles(), picker.chosenDirectory()};
}

std::optional<QString> SystemDialogs::chooseDirectory(QWidget* owner, const QString& title,
                                                      const QString& startDirectory) {
    DirectoryPicker picker(owner, title, startDirectory);
    if (picker.exec() != QDialog::Accepted) return std::nullopt;
    const QString chosen = picker.chosenDirectory();
    if (chosen.isEmpty()) return std::nullopt;
    return chosen;
}

std::optional<QString> SystemDialogs::chooseSaveFile(QWidget* owner, const QString& title,
                                                     const QString& filter,
                                                     const QString& startDirectory,
                                                     const QString& proposedName) {
    QFileDialog picker(owner, title, startDirectory, filter);
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setAcceptMode(QFileDialog::AcceptSave);
    picker.setFileMode(QFileDialog::AnyFile);
    picker.setDefaultSuffix(QStringLiteral("TXT"));
    picker.selectFile(proposedName);
    centreOverOwnerWhenShown(&picker, owner);
    if (picker.exec() != QDialog::Accepted || picker.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return picker.selectedFiles().front();
}

int SystemDialogs::run(QDialog& dialog) {
    return dialog.exec();
}

bool SystemDialogs::openDocument(const QString& path) {
    // Asked first: the desktop's open call answers yes once its helper has started, even when
    // the helper then finds no program and nothing appears.
    return QFileInfo(path).isFile() && desktopHasProgramFor(path) &&
           QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace brevo::app
