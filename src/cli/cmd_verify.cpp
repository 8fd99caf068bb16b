#include "cli/command.h"
#include "cli/racecardfile.h"
#include "platform/safefile.h"
#include "predict/returns.h"
#include "predict/verify.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "common/settings.h"

#include <QFileInfo>

namespace {
using namespace korvin;

// The report of the race list's "検証", once per course, accumulating as if
// every accumulate question were answered Yes.
int runVerify(const QCommandLineParser &parsed, QTextStream &out, QTextStream &err);

const QCommandLineOption kReturns(QStringLiteral("returns"),
                                  QStringLiteral("also print the return section of the tier-1 picks"));
const QCommandLineOption kCsv(QStringLiteral("csv"), QStringLiteral("write every count and rate to FILE as CSV"),
                              QStringLiteral("FILE"));

const cli::CliCommand kCommand{
    QStringLiteral("verify"),
    QStringLiteral("verify CSVFILE COURSE [COURSE...] [--returns] [--csv FILE]"),
    QStringLiteral("the verification report over the races of each course code, accumulated; "
                   "prints its sixteen lines (and with --returns what the tier-1 picks returned)"),
    runVerify,
    {kReturns, kCsv},
    2,
    -1,
    QStringLiteral("COURSE is a two-digit racecourse code (05 for Tokyo). Payouts come from SData when "
                   "SDataON is not 0.")};
cli::CliRegistrar reg(kCommand);

int runVerify(const QCommandLineParser &parsed, QTextStream &out, QTextStream &err)
{
    const QStringList args = parsed.positionalArguments();
    for (const QString &course : args.mid(1))
        if (course.size() != 2)
            return cli::usageError(kCommand, err);
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;
    const QString csvPath = args[0];
    const auto read = cli::ReadRaceCard(csvPath, err);
    if (!read)
        return 1;

    racecard::RaceContext context;
    context.csvPath = csvPath;
    context.csvName = QFileInfo(csvPath).fileName();
    context.settings = common::Settings;
    // Marks play no part in the counts; reading them could create mark files.
    context.readMarks = false;

    // One run of the command is one run of the program: the totals start at zero.
    predict::VerifyTotals totals;
    for (const QString &course : args.mid(1)) {
        const int races =
            predict::VerifyCourse(read->table, course, context, totals,
                                  [&](const racecard::RaceButton &, const racecard::DataListModel &model) {
                                      for (const platform::Message &m : model.messages)
                                          err << m.text << '\n';
                                  });
        if (races == 0)
            err << "korvin-cli verify: no race of course " << course << " in " << csvPath << '\n';
    }
    for (const QString &line : predict::ReportLines(totals.raceCount, totals.counters))
        out << line << '\n';
    if (parsed.isSet(kReturns)) {
        out << '\n';
        for (const QString &line : predict::ReturnLines(totals.returns))
            out << line << '\n';
    }
    if (parsed.isSet(kCsv)) {
        QString why;
        const QString csvFile = parsed.value(kCsv);
        if (!platform::saveWhole(
                csvFile, predict::VerifyCsv(totals.raceCount, totals.counters, totals.returns).toUtf8(), &why)) {
            err << "korvin-cli verify: cannot write " << csvFile << ": " << why << '\n';
            return 1;
        }
    }
    return 0;
}
} // namespace
