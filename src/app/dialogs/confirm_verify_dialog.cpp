#include "app/dialogs/confirm_verify_dialog.h"

#include <QDir>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/app_texts.h"
#include "app/controls/dialog_units.h"
#include "app/controls/elided_label.h"
#include "app/controls/path_edit.h"
#include "app/dialogs/dialogs.h"
#include "app/platform/qt_text.h"
#include "batch/batch_plan.h"

namespace brevo::app {
namespace {

QLabel* label(const QString& text, QWidget* parent) {
    auto* made = new QLabel(text, parent);
    made->setWordWrap(true);
    made->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return made;
}

}  // namespace

ConfirmVerifyDialog::ConfirmVerifyDialog(QWidget* owner, Dialogs& dialogs, int fileCount,
                                         const QString& sourceDirectory,
                                         const QString& targetDirectory, bool browseFromSource)
    : QDialog(owner),
      dialogs_(dialogs),
      targetDirectory_(targetDirectory),
      browseFromSource_(browseFromSource) {
    setWindowTitle(QString::fromLatin1(text::kConfirmTitle));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const DialogUnits units(font());
    setFixedSize(units.size(325, 157));

    units.place(label(fromLine(confirmationCountText(fileCount)), this), 9, 9, 303, 12);
    units.place(label(QString::fromLatin1(text::kSourcesAreIn), this), 9, 23, 297, 12);
    sourceEdit_ = new QLineEdit(sourceDirectory, this);
    units.place(sourceEdit_, 9, 41, 307, 14);
    sourceEdit_->installEventFilter(this);
    sourceEdit_->setToolTip(sourceDirectory);
    connect(sourceEdit_, &QLineEdit::textChanged, sourceEdit_, &QLineEdit::setToolTip);
    browseButton_ = new QPushButton(QString::fromLatin1(text::kBrowse), this);
    browseButton_->setAutoDefault(false);
    units.place(browseButton_, 9, 60, 50, 14);
    units.place(label(QString::fromLatin1(text::kLogFiles), this), 9, 85, 302, 12);
    // A long path gives way in the middle, so that its end stays; the whole is the tooltip.
    auto* target = new ElidedLabel(this);
    target->setFullText(targetDirectory);
    units.place(target, 9, 98, 308, 10);
    units.place(label(QString::fromLatin1(text::kImportant), this), 9, 111, 307, 18);

    auto* ok = new QPushButton(QString::fromLatin1(text::kOk), this);
    ok->setDefault(true);
    units.place(ok, 243, 131, 75, 17);
    auto* cancel = new QPushButton(QString::fromLatin1(text::kCancelButton), this);
    cancel->setAutoDefault(false);
    units.place(cancel, 125, 131, 75, 17);

    connect(browseButton_, &QPushButton::clicked, this, &ConfirmVerifyDialog::browse);
    connect(ok, &QPushButton::clicked, this, &ConfirmVerifyDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ConfirmVerifyDialog::reject);
}

QString ConfirmVerifyDialog::sourceDirectory() const {
    return sourceEdit_->text();
}

bool ConfirmVerifyDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == sourceEdit_ && leavesForAnotherControl(*event)) {
        endPathEditWithSeparator(*sourceEdit_);
    }
    return QDialog::eventFilter(watched, event);
}

void ConfirmVerifyDialog::accept() {
    const SourceProblem problem =
        checkSourceDirectory(toPath(sourceEdit_->text()), toPath(targetDirectory_));
    if (problem == SourceProblem::SameAsTarget) {
        dialogs_.message(this, fromLine(kTwoDirectoriesMessage), Dialogs::Icon::None,
                         Dialogs::Buttons::Ok);
        return;
    }
    if (checkPathEdit(*sourceEdit_, this, dialogs_)) QDialog::accept();
}

void ConfirmVerifyDialog::browse() {
    const QString start = browseFromSource_ ? sourceEdit_->text() : QDir::currentPath();
    const std::optional<QString> chosen =
        dialogs_.chooseDirectory(this, QString::fromLatin1(text::kSelectSourceDirectory), start);
    if (chosen) sourceEdit_->setText(*chosen);
}

}  // namespace brevo::app
