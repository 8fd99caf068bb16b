// comments: one race's result export appended to its result-comment file.
#include "cli/command.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "host/resultcomments.h"

namespace {
using namespace korvin;

int runComments(const QCommandLineParser &p, QTextStream &out, QTextStream &err);

const QCommandLineOption kMData(QStringLiteral("mdata"),
                                QStringLiteral("folder of the result-comment files instead of the MData setting"),
                                QStringLiteral("DIR"));

const cli::CliCommand commentsCommand{
    QStringLiteral("comments"),
    QStringLiteral("comments COMMENTFILE [--mdata DIR]"),
    QStringLiteral("appends the rewritten runner lines of a result export to the meeting's result-comment file in "
                   "MData (or DIR); prints the file and the number of lines, separated by a tab"),
    runComments,
    {kMData},
    1,
    1};

int runComments(const QCommandLineParser &p, QTextStream &out, QTextStream &err)
{
    QString folder;
    if (p.isSet(kMData)) {
        if (p.value(kMData).isEmpty()) {
            err << "korvin-cli comments: --mdata に空のフォルダは指定できません．\n";
            return 2;
        }
        folder = common::withSeparator(p.value(kMData));
    } else {
        if (!platform::ShowMessages(common::LoadSettings()))
            return 1;
        folder = common::Settings.MData;
    }
    const host::CommentAppend r = host::AppendResultComments(p.positionalArguments().first(), folder, 1);
    platform::ShowMessages(r.messages);
    if (!r.appended())
        return 1;
    out << r.path << '\t' << r.lines << "\n";
    return 0;
}

cli::CliRegistrar reg(commentsCommand);
} // namespace
