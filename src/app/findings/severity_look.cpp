#include "app/findings/severity_look.h"

#include <QApplication>
#include <QStyle>

#include "app/model/finding_rows.h"

namespace brevo::app {

QString severityText(Severity severity) {
    const std::string_view word = severityWord(severity);
    return QString::fromLatin1(word.data(), static_cast<qsizetype>(word.size()));
}

QIcon severityIcon(Severity severity) {
    QStyle::StandardPixmap pixmap = QStyle::SP_MessageBoxCritical;
    if (severity == Severity::Alert) pixmap = QStyle::SP_MessageBoxWarning;
    if (severity == Severity::Warning) pixmap = QStyle::SP_MessageBoxInformation;
    return QApplication::style()->standardIcon(pixmap);
}

QColor severityColour(Severity severity) {
    // Dark enough to read on a light background.
    switch (severity) {
        case Severity::Alert:
            return QColor(0x9a, 0x52, 0x00);
        case Severity::Warning:
            return QColor(0x1f, 0x5f, 0xa8);
        case Severity::Error:
            break;
    }
    return QColor(0xb0, 0x00, 0x20);
}

}  // namespace brevo::app
