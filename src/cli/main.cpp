// korvin-cli: the program's functions without a display, for scripts, checks
// and benchmarks. Output is UTF-8.
#include "cli/command.h"
#include "common/programfolder.h"
#include "timerank/timerankfile.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#endif

namespace korvin::cli {

namespace {
const QString kProgram = QStringLiteral("korvin-cli [--home DIR]");

void printUsageLine(const CliCommand &c, QTextStream &to) { to << "usage: " << kProgram << ' ' << c.usage << '\n'; }

void printCommandHelp(const CliCommand &c, const QCommandLineOption &help, QTextStream &out)
{
    printUsageLine(c, out);
    out << '\n' << c.summary << '\n';
    if (!c.details.isEmpty())
        out << '\n' << c.details << '\n';
    QList<QCommandLineOption> options = c.options;
    options << help;
    QList<QPair<QString, QString>> rows;
    qsizetype width = 0;
    for (const QCommandLineOption &o : options) {
        QStringList names;
        for (const QString &n : o.names())
            names << (n.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + n;
        QString left = names.join(QStringLiteral(", "));
        if (!o.valueName().isEmpty())
            left += QLatin1Char(' ') + o.valueName();
        width = std::max(width, left.size());
        rows.append({left, o.description()});
    }
    out << "\noptions:\n";
    for (const auto &[left, description] : rows)
        out << "  " << left.leftJustified(width) << "  " << description << '\n';
}

void printHelp(QTextStream &to)
{
    auto list = commands();
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) { return a.name < b.name; });
    to << "usage: " << kProgram
       << " COMMAND [ARGS]\n\n"
          "The program folder (where Korvin.ini lives) is the folder of the executable\n"
          "(installed in /usr/bin: ~/.local/share/korvin), or KORVIN_HOME, or --home DIR\n"
          "(which wins). Every command takes --help.\n\ncommands:\n";
    for (const auto &c : list)
        to << "  " << c.usage << "\n      " << c.summary << '\n';
}
} // namespace

std::vector<CliCommand> &commands()
{
    static std::vector<CliCommand> list;
    return list;
}

int usageError(const CliCommand &c, QTextStream &err)
{
    printUsageLine(c, err);
    return 2;
}

QCommandLineOption KindOption(const QString &description)
{
    return QCommandLineOption(QStringLiteral("kind"), description, QStringLiteral("K"));
}

std::optional<int> KindValue(const QCommandLineParser &p, const QCommandLineOption &kind)
{
    bool ok = false;
    const int k = p.value(kind).toInt(&ok);
    return ok && k >= 0 && k < timerank::kKinds ? std::optional<int>(k) : std::nullopt;
}

int runCommand(const CliCommand &c, const QStringList &words, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("prints this help"));
    parser.addOptions(c.options);
    parser.addOption(help);
    if (!parser.parse(QStringList{QStringLiteral("korvin-cli")} + words)) {
        err << "korvin-cli " << c.name << ": " << parser.errorText() << '\n';
        return usageError(c, err);
    }
    if (parser.isSet(help)) {
        printCommandHelp(c, help, out);
        return 0;
    }
    const qsizetype n = parser.positionalArguments().size();
    if (n < c.minArgs || (c.maxArgs >= 0 && n > c.maxArgs))
        return usageError(c, err);
    return c.run(parser, out, err);
}

// Flushes what a command printed. Output that did not all reach standard output
// (a full disk, a closed pipe, /dev/full) fails the command: a script reading
// it would otherwise take a cut-off result for the whole one.
int finishOutput(int rc, QTextStream &out, QTextStream &err)
{
    errno = 0;
    out.flush();
    const bool written = out.status() == QTextStream::Ok && std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!written) {
        const int why = errno;
        err << "korvin-cli: 標準出力に書き込めません．";
        if (why != 0)
            err << " ( " << QString::fromLocal8Bit(std::strerror(why)) << " )";
        err << '\n';
    }
    err.flush();
    return written ? rc : (rc != 0 ? rc : 1);
}

} // namespace korvin::cli

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    korvin::common::InitProgramFolder(args);

#ifdef Q_OS_WIN
    // The bytes as written, as on Linux: text mode would turn every LF into CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (args.size() < 2 || args[1] == QLatin1String("--help") || args[1] == QLatin1String("-h")) {
        korvin::cli::printHelp(args.size() < 2 ? err : out);
        return korvin::cli::finishOutput(args.size() < 2 ? 2 : 0, out, err);
    }
    const QString name = args[1];
    for (const auto &c : korvin::cli::commands()) {
        if (c.name == name) {
            return korvin::cli::finishOutput(korvin::cli::runCommand(c, args.mid(2), out, err), out, err);
        }
    }
    err << "korvin-cli: unknown command " << name << " (see korvin-cli --help)\n";
    return 2;
}
