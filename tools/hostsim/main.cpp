// korvin-hostsim: a stand-in for the host's main window, "Vantor frontier", on
// the demo day, so that Korvin's keystroke runs can be tried and tested
// against another program's window with real key events.
#include "delayedexports.h"
#include "hostday.h"
#include "hostwindow.h"
#include "play.h"

#include "common/settings.h"
#include "platform/textfile.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <memory>

using namespace korvin;

namespace {

int usage(QTextStream &err, const QString &problem = QString())
{
    if (!problem.isEmpty())
        err << "korvin-hostsim: " << problem << "\n";
    err << "usage: korvin-hostsim (--home DIR | --day FILE) [options]\n"
           "  --home DIR          the demo program folder: its Korvin.ini (Vantor_Ver) and\n"
           "                      the day file Vantor/Vd*.txt\n"
           "  --day FILE          the host's day file (korvin-demodata writes Vantor/Vd*.txt)\n"
           "  --version TEXT      host version (default: Korvin.ini's Vantor_Ver, else 2.05);\n"
           "                      from 2.05 on F8 asks for the output form first\n"
           "  --timerank-file P   path the first ranking export offers (default none: the name\n"
           "                      is empty until one is entered; later exports offer the last)\n"
           "  --comment-file P    the same for the result export\n"
           "  --list cards|results  the race list starts as race cards (default) or results\n"
           "  --race N            cursor on the N-th race of the day (default 1)\n"
           "  --key-delay MS      slow mode: every key takes MS ms (opening a ranking three times as long)\n"
           "  --export-delay MS   slow exports: each export file is written MS ms after the key that\n"
           "                      asks for it, half of its lines first and the rest MS/2 ms later\n"
           "  --log FILE          key log: one line per key received, \"MS KEY[ unexpected]\" (MS:\n"
           "                      milliseconds since the start when the key arrived)\n"
           "  --play FILE         no window: press the keys of a dry run (korvin-cli script ...;\n"
           "                      '-' reads stdin) and write the exports at once; exit 1 when\n"
           "                      a key was unexpected\n";
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock; // the key log's time: from the start, on a monotonic clock
    clock.start();
    // Playing a dry run needs no display.
    const auto given = [argc, argv](const char *option) {
        return std::any_of(argv + 1, argv + argc, [option](const char *a) { return !std::strcmp(a, option); });
    };
    const bool playing = given("--play");
    // Nor does the usage.
    const bool windowless = playing || given("--help") || given("-h");
    std::unique_ptr<QCoreApplication> app(windowless ? new QCoreApplication(argc, argv) : new QApplication(argc, argv));
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString home, dayPath, version, rankPath, resultPath, logPath, playPath;
    bool versionGiven = false;
    hostsim::ListMode mode = hostsim::ListMode::Cards;
    int race = 1, delay = 0, exportDelay = 0;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return usage(err);
        if (i + 1 >= args.size())
            return usage(err, QStringLiteral("unknown option or missing value: ") + a);
        const QString v = args[++i];
        bool ok = true;
        if (a == QLatin1String("--home")) {
            home = v;
        } else if (a == QLatin1String("--day")) {
            dayPath = v;
        } else if (a == QLatin1String("--version")) {
            version = v;
            versionGiven = true;
        } else if (a == QLatin1String("--timerank-file")) {
            rankPath = v;
        } else if (a == QLatin1String("--comment-file")) {
            resultPath = v;
        } else if (a == QLatin1String("--log")) {
            logPath = v;
        } else if (a == QLatin1String("--play")) {
            playPath = v;
        } else if (a == QLatin1String("--list") && (v == QLatin1String("cards") || v == QLatin1String("results"))) {
            mode = v == QLatin1String("cards") ? hostsim::ListMode::Cards : hostsim::ListMode::Results;
        } else if (a == QLatin1String("--race")) {
            race = v.toInt(&ok);
        } else if (a == QLatin1String("--key-delay")) {
            delay = v.toInt(&ok);
            ok = ok && delay >= 0;
        } else if (a == QLatin1String("--export-delay")) {
            exportDelay = v.toInt(&ok);
            ok = ok && exportDelay >= 0;
        } else {
            return usage(err, QStringLiteral("unknown option: ") + a);
        }
        if (!ok)
            return usage(err, QStringLiteral("bad value for ") + a + QStringLiteral(": ") + v);
    }
    if (home.isEmpty() == dayPath.isEmpty())
        return usage(err, QStringLiteral("give either --home or --day"));

    if (!home.isEmpty()) {
        const QDir dir(home);
        common::SettingsRecord s;
        const auto load = common::LoadSettingsFile(dir.filePath(QStringLiteral("Korvin.ini")), s);
        if (!load.opened)
            return usage(err,
                         QStringLiteral("cannot read Korvin.ini in ") + home + QStringLiteral(": ") + load.openError);
        if (!versionGiven)
            version = s.Vantor_Ver;
        const QStringList days = QDir(dir.filePath(QStringLiteral("Vantor")))
                                     .entryList({QStringLiteral("Vd*.txt")}, QDir::Files, QDir::Name);
        if (days.isEmpty())
            return usage(err, QStringLiteral("no day file Vantor/Vd*.txt in ") + home +
                                  QStringLiteral(" (run korvin-demodata --out DIR)"));
        dayPath = dir.filePath(QStringLiteral("Vantor/") + days.back());
    }
    if (version.isEmpty())
        version = QStringLiteral("2.05");

    QString error;
    const auto lines = platform::readLines(dayPath, &error);
    demodata::Day day;
    if (!lines || !demodata::readHostDay(*lines, day, &error))
        return usage(err, dayPath + QStringLiteral(": ") + (error.isEmpty() ? QStringLiteral("cannot read") : error));

    class DiskFiles : public hostsim::ExportFiles {
    public:
        bool exists(const QString &path) override { return platform::fileExists(path); }
        bool write(const QString &path, const QStringList &lines, bool append, QString *error) override
        {
            return append ? platform::appendLines(path, lines, error) : platform::writeLines(path, lines, error);
        }
    } disk;
    hostsim::DelayedExports late(disk, exportDelay, [&clock] { return clock.elapsed(); });
    const bool slowExports = exportDelay > 0 && !playing;
    hostsim::ExportFiles &files = slowExports ? static_cast<hostsim::ExportFiles &>(late) : disk;
    hostsim::HostModel model(day, hostsim::HostOptions{version, rankPath, resultPath}, files);
    if (race < 1 || race > model.raceCount())
        return usage(err, QStringLiteral("--race must be 1 to %1").arg(model.raceCount()));
    model.setListMode(mode);
    model.setCursor(race - 1);
    if (playing) {
        QFile in;
        if (!(playPath == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                             : (in.setFileName(playPath), in.open(QIODevice::ReadOnly))))
            return usage(err, QStringLiteral("cannot read ") + playPath);
        const hostsim::PlayResult played =
            hostsim::PlayDryRun(model, QString::fromUtf8(in.readAll()).split(QLatin1Char('\n')),
                                [](const QString &path) { QFile::remove(path); });
        if (!played.error.isEmpty())
            return usage(err, played.error);
        for (const QString &k : played.unexpected)
            err << "unexpected key " << k << "\n";
        QTextStream(stdout)
            << QStringLiteral("%1 keys, %2 exports written\n").arg(played.keys).arg(model.exportsWritten());
        return played.unexpected.isEmpty() ? 0 : 1;
    }
    hostsim::HostWindow window(model, delay, logPath, clock, slowExports ? &late : nullptr);
    if (!window.logOpen())
        return usage(err, QStringLiteral("cannot write the key log ") + logPath);
    window.show();
    return app->exec();
}
