#pragma once

#include <QColor>
#include <QIcon>
#include <QString>

#include "report/finding.h"

namespace brevo::app {

// How a severity looks wherever findings are shown: a word that reads without colour, an icon
// whose shape differs, and a colour on top.
QString severityText(Severity severity);
QIcon severityIcon(Severity severity);
QColor severityColour(Severity severity);

}  // namespace brevo::app
