#pragma once
// Parsing a command's words with QCommandLineParser, --help included.
#include "cli/command.h"

#include <QCommandLineParser>

namespace korvin::cli {

// Adds --help, parses "korvin-cli COMMAND" + args. Returns -1 to go on, or the
// exit code to return: 0 after printing the help on out, 2 after a usage error
// (the parser's reason and the usage line on err).
int parseCommand(QCommandLineParser &parser, const CliCommand &command, const QStringList &args, QTextStream &out,
                 QTextStream &err);

} // namespace korvin::cli
