// script: the operations a host run would perform, printed, nothing sent.
#include "cli/command.h"
#include "common/settings.h"
#include "host/script.h"
#include "platform/messages.h"

namespace {
using namespace korvin;

int runScript(const QCommandLineParser &p, QTextStream &out, QTextStream &err);

const QCommandLineOption kKind = cli::KindOption(QStringLiteral("ranking kind 0..5 (timerank)"));
const QCommandLineOption kRepeat(QStringLiteral("repeat"),
                                 QStringLiteral("text of the repeat box (races), rounded to the nearest, halves to "
                                                "even; default 1"),
                                 QStringLiteral("TEXT"), QStringLiteral("1"));
const QCommandLineOption kWaits(QStringLiteral("waits"),
                                QStringLiteral("texts of the three wait boxes, rounded down; default Wait1..Wait3 of "
                                               "the settings"),
                                QStringLiteral("W0,W1,W2"));

const cli::CliCommand scriptCommand{
    QStringLiteral("script"),
    QStringLiteral("script timerank --kind K [--repeat TEXT] [--waits W0,W1,W2] | script comments [--repeat TEXT] "
                   "[--waits W0,W1,W2]"),
    QStringLiteral("prints the operations of a time-rank export or result-comment run, one JSON array per line, "
                   "without sending anything"),
    runScript,
    {kKind, kRepeat, kWaits},
    1,
    1};

int runScript(const QCommandLineParser &p, QTextStream &out, QTextStream &err)
{
    const QStringList words = p.positionalArguments();
    const bool timeRank = words == QStringList{QStringLiteral("timerank")};
    if (!timeRank && words != QStringList{QStringLiteral("comments")})
        return cli::usageError(scriptCommand, err);
    int k = 0;
    if (timeRank) {
        const std::optional<int> kind = cli::KindValue(p, kKind);
        if (!kind)
            return cli::usageError(scriptCommand, err);
        k = *kind;
    } else if (p.isSet(kKind)) {
        return cli::usageError(scriptCommand, err);
    }
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;

    host::RunBoxes boxes;
    boxes.repeat = p.value(kRepeat);
    if (p.isSet(kWaits)) {
        const QStringList w = p.value(kWaits).split(QLatin1Char(','));
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
