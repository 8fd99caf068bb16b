// korvin-bench: speed of the readers and analyses on the generated demo day.
// Messages the code under measure shows (end of the race list, ...) are
// dropped, so that only the work is timed.
#include "platform/dialogs.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {
class SilentDialogs : public korvin::platform::Dialogs {
public:
    void information(const QString &) override {}
    void critical(const QString &) override {}
    korvin::platform::Answer question(const QString &) override { return korvin::platform::Answer::Yes; }
    korvin::platform::Answer warningYesNo(const QString &) override { return korvin::platform::Answer::Yes; }
};
} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    SilentDialogs silent;
    korvin::platform::setDialogs(&silent);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    korvin::platform::setDialogs(nullptr);
    return 0;
}
