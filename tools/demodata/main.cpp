// korvin-demodata: writes a realistic demo racing day into a program folder,
// so that Korvin can be tried without the host.
#include "demofiles.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {
int usage(QTextStream &err)
{
    err << "usage: korvin-demodata --out DIR [--seed N] [--date YYYYMMDD] [--reset]\n"
           "  Writes Korvin.ini, the race-card CSV, the VTX text, the payout files,\n"
           "  the six time-rank files, the stand-in host's day file (Vantor/) and\n"
           "  Korvin.trp of one demo day into DIR.\n"
           "  An existing Korvin.ini that names existing folders and an existing\n"
           "  Korvin.trp are kept unless --reset is given; mark files are never touched.\n";
    return 2;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString folder;
    quint32 seed = 1;
    QDate date(2000, 6, 10);
    bool reset = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--out") && hasValue) {
            folder = args[++i];
        } else if (a == QLatin1String("--seed") && hasValue) {
            bool ok = false;
            seed = args[++i].toUInt(&ok);
            if (!ok)
                return usage(err);
        } else if (a == QLatin1String("--date") && hasValue) {
            date = QDate::fromString(args[++i], QStringLiteral("yyyyMMdd"));
            if (!date.isValid() || date.year() < 1990 || date.year() > 2089)
                return usage(err);
        } else if (a == QLatin1String("--reset")) {
            reset = true;
        } else {
            return usage(err);
        }
    }
    if (folder.isEmpty())
        return usage(err);
    const auto day = korvin::demodata::makeDay(seed, date);
    const auto report = korvin::demodata::writeDemoHome(folder, day, reset);
    for (const QString &f : report.written)
        out << "written " << f << "\n";
    for (const QString &f : report.kept)
        out << "kept    " << f << "\n";
    out.flush();
    if (!report.error.isEmpty()) {
        err << "korvin-demodata: " << report.error << "\n";
        return 1;
    }
    return 0;
}
