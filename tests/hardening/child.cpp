// The child process of the hardening tests:
//   korvin-hardening-child save WRITER FOLDER STEP
//       saves once with one writer (variant 1) in FOLDER, the program folder,
//       and kills itself (SIGKILL, as kill -9) just before the STEP-th system
//       step of the writing helper; exits 0 when the save ended before it;
//   korvin-hardening-child read INPUT FOLDER BYTES LIMIT_MB
//       writes a large input of that kind into FOLDER, then reads it with at
//       most LIMIT_MB more address space (under AddressSanitizer, which
//       reserves its shadow memory up front, at most LIMIT_MB more resident
//       memory at the peak); prints the memory it took.
#include "common/programfolder.h"
#include "hardening/readers.h"
#include "hardening/writers.h"

#include "platform/safefile.h"

#include <QFile>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

namespace {

qint64 statmPages(int field)
{
    QFile f(QStringLiteral("/proc/self/statm"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    return f.readAll().split(' ').value(field).toLongLong();
}

qint64 peakResidentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return 0;
}

int read(const korvin::test::BigInput &input, const QString &folder, qint64 bytes, qint64 limitMb)
{
    input.write(folder, bytes);
    const qint64 page = 4096;
    const qint64 rssBefore = statmPages(1) * page;
#if !defined(__SANITIZE_ADDRESS__)
    struct rlimit limit {};
    limit.rlim_cur = limit.rlim_max = rlim_t(statmPages(0) * page + limitMb * 1024 * 1024);
    if (::setrlimit(RLIMIT_AS, &limit) != 0)
        return 3;
#endif
    const QString problem = input.read(folder);
    // The peak of this program's own memory (VmHWM): getrusage's maximum
    // would also count the parent's resident set at the fork.
    const qint64 peakMb = (peakResidentKb() * 1024 - rssBefore) >> 20;
    std::printf("%s: %lld MB more at the peak (%lld MB allowed)\n", input.name, peakMb, limitMb);
    if (!problem.isEmpty())
        std::printf("%s\n", problem.toUtf8().constData());
    return problem.isEmpty() && peakMb <= limitMb ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    using namespace korvin;
    const QString mode = argc > 1 ? QString::fromUtf8(argv[1]) : QString();
    const QString folder = argc > 3 ? common::withSeparator(QString::fromLocal8Bit(argv[3])) : QString();
    common::SetProgramFolder(folder);
    if (mode == QLatin1String("save") && argc == 5) {
        if (const test::Writer *writer = test::FindWriter(QString::fromUtf8(argv[2]))) {
            const int killAt = std::atoi(argv[4]);
            platform::SaveFaults::onStep([killAt](int step) {
                if (step == killAt)
                    ::raise(SIGKILL);
            });
            writer->save(folder, 1);
            return 0;
        }
    }
    if (mode == QLatin1String("read") && argc == 6) {
        if (const test::BigInput *input = test::FindBigInput(QString::fromUtf8(argv[2])))
            return read(*input, folder, QByteArray(argv[4]).toLongLong(), QByteArray(argv[5]).toLongLong());
    }
    std::fputs("usage: korvin-hardening-child save WRITER FOLDER STEP | read INPUT FOLDER BYTES LIMIT_MB\n", stderr);
    return 2;
}
