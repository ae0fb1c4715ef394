#include "app/command_line.h"

#include <QCommandLineParser>

namespace brevo::app {

std::optional<QString> commandLineAnswer(const QStringList& arguments, const QString& version) {
    QCommandLineParser parser;
    // "-Embedding" is one word, as other programs that start this one write it.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Verifies translated BRX files against their sources in a window. "
                       "brevo-verify does the same from the command line."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    parser.addOption(QCommandLineOption(QStringLiteral("Embedding"),
                                        QStringLiteral("Started by another program: no splash")));
    parser.addOption(QCommandLineOption(QStringLiteral("Automation"),
                                        QStringLiteral("Started by another program: no splash")));
    // Words the program does not know never keep the window from opening.
    parser.parse(arguments);
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) return parser.helpText();
    if (parser.isSet(versionOption)) {
        return QStringLiteral("brevo-verifier ") + version + QLatin1Char('\n');
    }
    return std::nullopt;
}

}  // namespace brevo::app
