#pragma once

#include <QString>

namespace brevo::app {

// Whether the desktop has a program registered for the file, as far as it can tell: on
// freedesktop systems the handler of its type, or of a type it derives from, as xdg-mime names
// it. Where nothing can be asked, true: the desktop's own open call then decides.
bool desktopHasProgramFor(const QString& path);

}  // namespace brevo::app
