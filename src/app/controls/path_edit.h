#pragma once

class QEvent;
class QLineEdit;
class QWidget;

namespace brevo::app {

class Dialogs;

// A directory typed into an edit: one that does not exist is reported and keeps the focus on
// the edit; one that does gets its final separator. True when it exists.
bool checkPathEdit(QLineEdit& edit, QWidget* owner, Dialogs& dialogs);

// Whether `event` takes the focus from an edit to another control of the same window; a message
// box or a menu that opens over it does not count.
bool leavesForAnotherControl(const QEvent& event);

// Adds the final separator to the edit's directory, as when it loses the focus.
void endPathEditWithSeparator(QLineEdit& edit);

}  // namespace brevo::app
