// korvin-cli: the program's functions without a display, for scripts, checks
// and benchmarks. Output is UTF-8.
#include "cli/command.h"
#include "common/programfolder.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdio>

namespace korvin::cli {

std::vector<CliCommand> &commands()
{
    static std::vector<CliCommand> list;
    return list;
}

int usageError(const CliCommand &c, QTextStream &err)
{
    err << "usage: korvin-cli [--home DIR] " << c.usage << "\n";
    return 2;
}

} // namespace korvin::cli

namespace {
void printHelp(QTextStream &out)
{
    auto list = korvin::cli::commands();
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.name < b.name; });
    out << "usage: korvin-cli [--home DIR] COMMAND [ARGS]\n\n"
           "The program folder (where Korvin.ini lives) is the folder of the executable,\n"
           "or KORVIN_HOME, or --home DIR (which wins).\n\ncommands:\n";
    for (const auto &c : list)
        out << "  " << c.usage << "\n      " << c.summary << "\n";
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    korvin::common::InitProgramFolder(args);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        printHelp(args.size() < 2 ? err : out);
        return args.size() < 2 ? 2 : 0;
    }
    const QString name = args[1];
    for (const auto &c : korvin::cli::commands()) {
        if (c.name == name) {
            const int rc = c.run(args.mid(2), out, err);
            out.flush();
            err.flush();
            return rc;
        }
    }
    err << "korvin-cli: unknown command " << name << " (see korvin-cli --help)\n";
    return 2;
}
