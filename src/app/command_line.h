#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace brevo::app {

// What the command line asks for that needs no window: the help or the version, as the text
// to print. Nothing when the program is to start, whatever else the line holds: "-Embedding",
// "/Automation" and unknown words are left to the start-up. Needs a QCoreApplication.
std::optional<QString> commandLineAnswer(const QStringList& arguments, const QString& version);

}  // namespace brevo::app
