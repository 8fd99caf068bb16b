// keys: what a key string sends, one action per line.
#include "cli/command.h"
#include "host/keynotation.h"

namespace {
using namespace korvin;

int runKeys(const QCommandLineParser &p, QTextStream &out, QTextStream &err);

const cli::CliCommand keysCommand{
    QStringLiteral("keys"),
    QStringLiteral("keys KEYSTRING"),
    QStringLiteral("prints the key actions of a key string, one per line: \"key NAME\" or \"char C\", then "
                   "\"+shift\", \"+ctrl\", \"+alt\" for the modifiers held"),
    runKeys,
    {},
    1,
    1,
    QStringLiteral("KEYSTRING is a key string such as \"{F6 2}\", \"+{TAB}\" or \"F\"; put -- before one that "
                   "begins with \"-\".")};

int runKeys(const QCommandLineParser &p, QTextStream &out, QTextStream &err)
{
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
