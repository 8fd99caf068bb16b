// script: the operations a host run would perform, printed, nothing sent.
#include "cli/cmdparser.h"
#include "common/settings.h"
#include "host/script.h"
#include "platform/messages.h"

namespace {
using namespace korvin;

int runScript(const QStringList &args, QTextStream &out, QTextStream &err);

const cli::CliCommand scriptCommand{
    QStringLiteral("script"),
    QStringLiteral("script timerank --kind K [--repeat TEXT] [--waits W0,W1,W2] | script comments [--repeat TEXT] "
                   "[--waits W0,W1,W2]"),
    QStringLiteral("prints the operations of a time-rank export or result-comment run, one JSON array per line, "
                   "without sending anything"),
    runScript};

int runScript(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QCommandLineParser p;
    p.addPositionalArgument(QStringLiteral("run"), QStringLiteral("timerank or comments"));
    const QCommandLineOption kind(QStringLiteral("kind"), QStringLiteral("Ranking kind 0..5 (timerank)."),
                                  QStringLiteral("K"));
    const QCommandLineOption repeat(QStringLiteral("repeat"),
                                    QStringLiteral("Text of the repeat box (races), rounded to the nearest, halves "
                                                   "to even. Default 1."),
                                    QStringLiteral("TEXT"), QStringLiteral("1"));
    const QCommandLineOption waits(QStringLiteral("waits"),
                                   QStringLiteral("Texts of the three wait boxes, rounded down. Default: Wait1..Wait3 "
                                                  "of the settings."),
                                   QStringLiteral("W0,W1,W2"));
    p.addOptions({kind, repeat, waits});
    if (const int rc = cli::parseCommand(p, scriptCommand, args, out, err); rc >= 0)
        return rc;
    const QStringList words = p.positionalArguments();
    const bool timeRank = words == QStringList{QStringLiteral("timerank")};
    if (!timeRank && words != QStringList{QStringLiteral("comments")})
        return cli::usageError(scriptCommand, err);
    int k = 0;
    if (timeRank) {
        bool ok = false;
        k = p.value(kind).toInt(&ok);
        if (!ok || k < 0 || k > 5)
            return cli::usageError(scriptCommand, err);
    } else if (p.isSet(kind)) {
        return cli::usageError(scriptCommand, err);
    }
    if (!common::LoadSettings())
        return 1;

    host::RunBoxes boxes;
    boxes.repeat = p.value(repeat);
    if (p.isSet(waits)) {
        const QStringList w = p.value(waits).split(QLatin1Char(','));
        if (w.size() != 3)
            return cli::usageError(scriptCommand, err);
        for (int i = 0; i < 3; ++i)
            boxes.waits[i] = w[i];
    } else {
        boxes.waits = {QString::number(common::Settings.Wait1), QString::number(common::Settings.Wait2),
                       QString::number(common::Settings.Wait3)};
    }
    platform::Messages messages;
    const auto numbers = host::ConvertRunBoxes(boxes, messages);
    std::optional<host::Script> script;
    if (numbers)
        script = timeRank ? host::BuildExportScript(*numbers, k, common::Settings, messages)
                          : host::BuildCommentScript(*numbers, common::Settings, messages);
    platform::ShowMessages(messages);
    if (!script)
        return 1;
    for (const QString &line : host::DryRun(*script))
        out << line << "\n";
    return 0;
}

cli::CliRegistrar reg(scriptCommand);
} // namespace
