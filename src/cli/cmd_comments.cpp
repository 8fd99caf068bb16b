// comments: one race's result export appended to its result-comment file.
#include "cli/cmdparser.h"
#include "common/programfolder.h"
#include "common/settings.h"
#include "host/resultcomments.h"

namespace {
using namespace korvin;

int runComments(const QStringList &args, QTextStream &out, QTextStream &err);

const cli::CliCommand commentsCommand{
    QStringLiteral("comments"), QStringLiteral("comments COMMENTFILE [--mdata DIR]"),
    QStringLiteral("appends the rewritten runner lines of a result export to the meeting's result-comment file in "
                   "MData (or DIR); prints the file and the number of lines, separated by a tab"),
    runComments};

int runComments(const QStringList &args, QTextStream &out, QTextStream &err)
{
    QCommandLineParser p;
    p.addPositionalArgument(QStringLiteral("COMMENTFILE"), QStringLiteral("The host's result export (Comment.txt)."));
    const QCommandLineOption mdata(QStringLiteral("mdata"),
                                   QStringLiteral("Folder of the result-comment files instead of the MData setting."),
                                   QStringLiteral("DIR"));
    p.addOption(mdata);
    if (const int rc = cli::parseCommand(p, commentsCommand, args, out, err); rc >= 0)
        return rc;
    if (p.positionalArguments().size() != 1)
        return cli::usageError(commentsCommand, err);
    QString folder;
    if (p.isSet(mdata)) {
        folder = common::withSeparator(p.value(mdata));
    } else {
        if (!common::LoadSettings())
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
