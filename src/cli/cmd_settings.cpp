#include "cli/command.h"
#include "common/settings.h"

namespace {
using namespace korvin;

int runSettings(const QCommandLineParser &, QTextStream &out, QTextStream &)
{
    if (!platform::ShowMessages(common::LoadSettings()))
        return 1;
    for (const auto &[name, value] : common::SettingsFields(common::Settings))
        out << name << '=' << value << '\n';
    return 0;
}

cli::CliRegistrar reg({QStringLiteral("settings"), QStringLiteral("settings"),
                       QStringLiteral("prints the ten settings of Korvin.ini, one Name=value line each"), runSettings});
} // namespace
