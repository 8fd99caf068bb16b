#pragma once
// korvin-cli commands. Each command registers itself from its own source file
// with a static CliRegistrar; main dispatches by name.
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <functional>
#include <vector>

namespace korvin::cli {

struct CliCommand {
    QString name;
    QString usage;   // one line for --help, e.g. "racelist CSVFILE"
    QString summary; // what it prints
    // args: the words after the command name. Returns the exit code.
    std::function<int(const QStringList &args, QTextStream &out, QTextStream &err)> run;
};

std::vector<CliCommand> &commands();

struct CliRegistrar {
    explicit CliRegistrar(CliCommand c) { commands().push_back(std::move(c)); }
};

// Prints "usage: korvin-cli USAGE" to err and returns 2.
int usageError(const CliCommand &c, QTextStream &err);

} // namespace korvin::cli
