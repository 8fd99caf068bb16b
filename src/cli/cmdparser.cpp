#include "cli/cmdparser.h"

namespace korvin::cli {

int parseCommand(QCommandLineParser &parser, const CliCommand &command, const QStringList &args, QTextStream &out,
                 QTextStream &err)
{
    parser.setApplicationDescription(command.summary);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Shows this help."));
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("korvin-cli ") + command.name} + args)) {
        err << "korvin-cli " << command.name << ": " << parser.errorText() << "\n";
        return usageError(command, err);
    }
    if (parser.isSet(help)) {
        // The parser's own usage line names the executable's path; ours names the command.
        QStringList help = parser.helpText().split(QLatin1Char('\n'));
        if (!help.isEmpty() && help.first().startsWith(QLatin1String("Usage:")))
            help.removeFirst();
        out << "usage: korvin-cli [--home DIR] " << command.usage << "\n" << help.join(QLatin1Char('\n'));
        return 0;
    }
    return -1;
}

} // namespace korvin::cli
