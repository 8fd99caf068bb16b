#pragma once
// korvin-cli commands. Each command registers itself from its own source file
// with a static CliRegistrar; main finds it by name, parses its words with
// QCommandLineParser (--help included) and runs it on the parsed words.
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <optional>
#include <vector>

namespace korvin::cli {

struct CliCommand {
    QString name;
    // The command's line in every help text and usage error, e.g.
    // "datalist CSVFILE RACEKEY [--zi]".
    QString usage;
    QString summary; // what it prints
    // Runs on the parsed words (options and positional arguments); returns the
    // exit code.
    std::function<int(const QCommandLineParser &args, QTextStream &out, QTextStream &err)> run;
    // Options besides --help; their descriptions make the command's help.
    QList<QCommandLineOption> options = {};
    // How many positional arguments it takes; maxArgs -1: no upper limit.
    int minArgs = 0;
    int maxArgs = 0;
    // Further lines of the command's help (what the arguments mean).
    QString details = {};
};

std::vector<CliCommand> &commands();

struct CliRegistrar {
    explicit CliRegistrar(CliCommand c) { commands().push_back(std::move(c)); }
};

// Prints "usage: korvin-cli [--home DIR] USAGE" to err and returns 2.
int usageError(const CliCommand &c, QTextStream &err);

// The --kind K option of the time-rank commands, and its value: nullopt
// unless it names a ranking kind 0..5.
QCommandLineOption KindOption(const QString &description = QStringLiteral("ranking kind 0..5"));
std::optional<int> KindValue(const QCommandLineParser &p, const QCommandLineOption &kind);

// Parses words (what follows the command name) and runs the command: --help
// prints its help to out (exit 0); unknown options, missing option values and
// a wrong number of arguments are usage errors (exit 2).
int runCommand(const CliCommand &c, const QStringList &words, QTextStream &out, QTextStream &err);

} // namespace korvin::cli
