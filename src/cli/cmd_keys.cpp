// keys: what a key string sends, one action per line.
#include "cli/cmdparser.h"
#include "host/keynotation.h"

namespace {
using namespace korvin;

int runKeys(const QStringList &args, QTextStream &out, QTextStream &err);

const cli::CliCommand keysCommand{
    QStringLiteral("keys"), QStringLiteral("keys KEYSTRING"),
    QStringLiteral("prints the key actions of a key string, one per line: \"key NAME\" or \"char C\", then "
                   "\"+shift\", \"+ctrl\", \"+alt\" for the modifiers held"),
    runKeys};

int runKeys(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QCommandLineParser p;
    p.addPositionalArgument(QStringLiteral("KEYSTRING"),
                            QStringLiteral("Key string, e.g. \"{F6 2}\", \"+{TAB}\", \"F\" (put -- before one that "
                                           "begins with \"-\")."));
    if (const int rc = cli::parseCommand(p, keysCommand, args, out, err); rc >= 0)
        return rc;
    if (p.positionalArguments().size() != 1)
        return cli::usageError(keysCommand, err);
    const std::string keys = p.positionalArguments().first().toStdString();
    const host::KeyParse parsed = host::ParseKeyString(keys);
    if (!parsed.ok()) {
        err << "korvin-cli keys: " << QString::fromStdString(parsed.error) << " (at byte " << parsed.position + 1
            << ")\n";
        return 1;
    }
    for (const host::KeyAction &a : parsed.actions)
        out << QString::fromStdString(host::DescribeAction(a)) << "\n";
    return 0;
}

cli::CliRegistrar reg(keysCommand);
} // namespace
