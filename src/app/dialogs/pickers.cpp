#include "app/dialogs/pickers.h"

#include <QEvent>
#include <QScreen>

#include "app/app_texts.h"
#include "app/model/window_placement.h"

namespace brevo::app {
namespace {

Rect rectOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

class CentreOnShow : public QObject {
public:
    CentreOnShow(QWidget* dialog, QWidget* owner) : QObject(dialog), owner_(owner) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && owner_ != nullptr) {
            auto* dialog = static_cast<QWidget*>(watched);
            const QWidget* owner = owner_->window();
            const QScreen* screen = owner->screen();
            const QRect desktop = screen != nullptr ? screen->availableGeometry() : QRect();
            const Point at = centreOverOwner(rectOf(dialog->frameGeometry()),
                                             rectOf(owner->frameGeometry()), rectOf(desktop));
            dialog->move(at.x, at.y);
        }
        return false;
    }

private:
    QWidget* owner_;
};

QString withSeparator(QString directory) {
    if (!directory.endsWith(QLatin1Char('/'))) directory += QLatin1Char('/');
    return directory;
}

// The picture of a file or directory chooser that every platform shows alike, so that it can
// be placed over its owner.
void prepare(QFileDialog& picker, QWidget* owner) {
    picker.setOption(QFileDialog::DontUseNativeDialog);
    picker.setWindowModality(Qt::ApplicationModal);
    centreOverOwnerWhenShown(&picker, owner);
}

}  // namespace

void centreOverOwnerWhenShown(QWidget* dialog, QWidget* owner) {
    dialog->installEventFilter(new CentreOnShow(dialog, owner));
}

MultiFilePicker::MultiFilePicker(QWidget* owner, const QString& title, const QString& filter,
                                 const QString& startDirectory)
    : QFileDialog(owner, title, startDirectory) {
    prepare(*this, owner);
    setFileMode(QFileDialog::ExistingFiles);
    setAcceptMode(QFileDialog::AcceptOpen);
    setNameFilter(filter);
}

QString MultiFilePicker::chosenDirectory() const {
    const QStringList files = selectedFiles();
    if (files.size() == 1) return files.front().left(files.front().lastIndexOf('/') + 1);
    return withSeparator(directory().absolutePath());
}

DirectoryPicker::DirectoryPicker(QWidget* owner, const QString& title,
                                 const QString& startDirectory)
    : QFileDialog(owner, title, startDirectory) {
    prepare(*this, owner);
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly);
    setLabelText(QFileDialog::Accept, QString::fromLatin1(text::kSelect));
}

QString DirectoryPicker::chosenDirectory() const {
    const QStringList chosen = selectedFiles();
    return chosen.isEmpty() ? QString() : withSeparator(chosen.front());
}

}  // namespace brevo::app
