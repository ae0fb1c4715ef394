#include "app/controls/path_edit.h"

#include <QDir>
#include <QFocusEvent>
#include <QLineEdit>

#include "app/app_texts.h"
#include "app/dialogs/dialogs.h"
#include "app/model/path_rules.h"
#include "app/platform/qt_text.h"

namespace brevo::app {

bool leavesForAnotherControl(const QEvent& event) {
    if (event.type() != QEvent::FocusOut) return false;
    const Qt::FocusReason reason = static_cast<const QFocusEvent&>(event).reason();
    return reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void endPathEditWithSeparator(QLineEdit& edit) {
    const QString path = edit.text();
    // An empty field names no directory, and must not come to name the root.
    if (path.isEmpty()) return;
    // Windows takes "/" as well as its own separator.
    if (!path.endsWith(QLatin1Char('/')) && !path.endsWith(QDir::separator())) {
        edit.setText(path + QDir::separator());
    }
}

bool checkPathEdit(QLineEdit& edit, QWidget* owner, Dialogs& dialogs) {
    if (!directoryExists(toPath(edit.text()))) {
        dialogs.message(owner, QString::fromLatin1(text::kPathDoesNotExist), Dialogs::Icon::Stop,
                        Dialogs::Buttons::Ok);
        edit.setFocus();
        return false;
    }
    endPathEditWithSeparator(edit);
    return true;
}

}  // namespace brevo::app
