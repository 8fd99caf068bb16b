#include "fixture.h"

#include "demofiles.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "common/programfolder.h"
#include "common/settings.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace korvin::bench {
namespace {

// Folders live until the process ends; QTemporaryDir removes them then.
std::vector<std::unique_ptr<QTemporaryDir>> &folders()
{
    static std::vector<std::unique_ptr<QTemporaryDir>> f;
    return f;
}

// Fills every race up to 18 runners with copies of its own runners; the
// copies finish behind the field, so the results stay distinct.
void fillUp(demodata::Day &day)
{
    for (auto &course : day.courses)
        for (auto &race : course.races) {
            const int original = int(race.runners.size());
            for (int k = original; k < 18; ++k) {
                demodata::Runner r = race.runners[k % original];
                r.number = k + 1;
                r.abnormal = demodata::Normal;
                r.result = k + 1;
                if (r.oddsTenths == 0)
                    r.oddsTenths = 999;
                race.runners << r;
            }
            demodata::assignFrames(race.runners);
        }
}

BenchHome makeHome(bool full)
{
    folders().push_back(std::make_unique<QTemporaryDir>());
    QTemporaryDir &dir = *folders().back();
    if (!dir.isValid()) {
        std::fprintf(stderr, "korvin-bench: no temporary folder\n");
        std::exit(1);
    }
    BenchHome h;
    h.folder = common::withSeparator(dir.path());
    h.day = demodata::makeDay(1, QDate(2000, 6, 10));
    if (full)
        fillUp(h.day);
    const auto report = demodata::writeDemoHome(h.folder, h.day, true);
    if (!report.error.isEmpty()) {
        std::fprintf(stderr, "korvin-bench: %s\n", qPrintable(report.error));
        std::exit(1);
    }
    const QString six = demodata::daySix(h.day);
    h.csvName = QStringLiteral("DC") + six + QStringLiteral(".csv");
    h.csvPath = h.folder + QStringLiteral("DenCSV/") + h.csvName;
    h.vtxPath = h.folder + QStringLiteral("VTX/Dx") + six + QStringLiteral(".txt");
    h.timeRankPath = h.folder + QStringLiteral("TimeRank/") + demodata::timeRankFileName(h.day, 0);
    for (const auto &c : h.day.courses)
        for (const auto &r : c.races)
            h.runners += int(r.runners.size());
    return h;
}

} // namespace

const BenchHome &demoHome()
{
    static const BenchHome h = makeHome(false);
    return h;
}

const BenchHome &fullHome()
{
    static const BenchHome h = makeHome(true);
    return h;
}

void useHome(const BenchHome &home)
{
    common::SetProgramFolder(home.folder);
    platform::ShowMessages(common::LoadSettings());
}

QStringList raceKeys(const BenchHome &home)
{
    QStringList keys;
    for (const auto &c : home.day.courses)
        for (const auto &r : c.races)
            keys << demodata::raceKey(home.day, c, r);
    return keys;
}

QString sampleText(int bytes)
{
    const BenchHome &h = demoHome();
    const QStringList source = demodata::raceCardLines(h.day) + demodata::timeRankLines(h.day, 0);
    QString text;
    int size = 0;
    for (int i = 0; size < bytes; i = (i + 1) % int(source.size())) {
        const QString line = source[i] + QStringLiteral("\r\n");
        text += line;
        size += int(platform::toSjis(line).size());
    }
    return text;
}

} // namespace korvin::bench
