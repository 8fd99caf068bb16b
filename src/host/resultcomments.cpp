#include "host/resultcomments.h"

#include "common/helpers.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "racing/codetables.h"

#include <cmath>

namespace korvin::host {

namespace {

using common::Mid;

// The k-th character from the end (1 = the last), empty when the text is shorter.
QString fromEnd(const QString &s, int k) { return k <= s.size() ? s.mid(s.size() - k, 1) : QString(); }
QString dropRight(const QString &s, qsizetype k) { return s.left(qMax<qsizetype>(0, s.size() - k)); }

bool allDigits(const QString &s, int length)
{
    if (s.size() != length)
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

const QString kDiamond = QStringLiteral("◆");

} // namespace

QString RewriteRunnerLine(const QString &raceKey, const QString &runnerLine)
{
    // Ten characters go either way; where the cut falls depends on character 28.
    const QString c28 = Mid(runnerLine, 28, 1);
    QString s;
    int a = 0;
    if (c28 == QLatin1String(" ") || c28 == QLatin1String("d")) {
        s = Mid(runnerLine, 1, 28) + Mid(runnerLine, 39);
        a = 1;
    } else {
        s = Mid(runnerLine, 1, 29) + Mid(runnerLine, 40);
    }
    if (fromEnd(s, 2) == kDiamond || fromEnd(s, 3) == kDiamond)
        ++a;

    QString tag;
    if (fromEnd(s, 1) == kDiamond && fromEnd(s, 3) == QLatin1String("=")) {
        tag = fromEnd(s, 2);
        s = dropRight(s, 2) + QStringLiteral("==") + tag;
    } else if (fromEnd(s, 1) == kDiamond) {
        tag = fromEnd(s, 3) + fromEnd(s, 2);
        s = dropRight(s, 3) + QStringLiteral("==") + tag;
    } else {
        const QString before = fromEnd(s, 2);
        tag = before == kDiamond || before == QLatin1String("=") || before == QLatin1String(" ")
                  ? fromEnd(s, 1)
                  : common::RightOf(s, 2);
    }

    // Number field (a leading blank made "0") and the kind "1".
    if (Mid(s, 1, 1) == QLatin1String(" "))
        s = QStringLiteral("0") + Mid(s, 2, 1) + QStringLiteral("1") + Mid(s, 3);
    else
        s = Mid(s, 1, 2) + QStringLiteral("1") + Mid(s, 3);

    s = raceKey + dropRight(s, tag.size());
    const int width = 68 - a;
    if (s.size() < width)
        s += QString(width - s.size(), QLatin1Char(' '));
    return s + tag;
}

CommentAppend AppendResultComments(const QString &exportPath, const QString &mdataFolder, int race,
                                   const QString &previousRaceKey)
{
    CommentAppend r;
    auto fail = [&](const QString &text) {
        QString who = QStringLiteral("%1 レース目").arg(race);
        if (!r.raceKey.isEmpty())
            who += QStringLiteral(" ( ") + r.raceKey + QStringLiteral(" )");
        r.messages.push_back(platform::Critical(who + QStringLiteral("：") + text +
                                                QStringLiteral("結果コメントは書き込みませんでした．")));
        return r;
    };
    const QString inFile = QStringLiteral(" ( ") + exportPath + QStringLiteral(" ) ");
    // A bare file name would land wherever the program was started.
    if (mdataFolder.isEmpty())
        return fail(QStringLiteral("MData が設定されていません．"));
    if (!platform::fileExists(exportPath))
        return fail(QStringLiteral("結果のエクスポートファイルがありません．") + inFile);
    QString error;
    const auto read = platform::readLinesLazily(exportPath, &error);
    if (!read)
        return fail(QStringLiteral("結果のエクスポートファイルを開けません．") + inFile + error);
    // The header's seven lines and at most 99 runners (a two-digit count):
    // the rest of a damaged export is never held.
    QStringList lines;
    for (const QString &line : *read)
        if ((lines << line).size() == 7 + 99)
            break;
    if (lines.size() < 7)
        return fail(QStringLiteral("結果のエクスポートファイルの行が足りません．") + inFile);

    const QString &line2 = lines[1];
    const QString course = Mid(line2, 18, 2);
    const QString code = racing::PlaceCode(course, 2).trimmed();
    if (code.isEmpty())
        return fail(QStringLiteral("競馬場名「") + course + QStringLiteral("」が競馬場の表にありません．") + inFile);
    const QString year = Mid(line2, 3, 2);
    const QString meeting = Mid(line2, 16, 1);
    const QString day = Mid(line2, 20, 1);
    if (!allDigits(year, 2) || !allDigits(meeting, 1) || !allDigits(day, 1))
        return fail(QStringLiteral("開催年・回・日目が数字ではありません． ( ") + line2 + QStringLiteral(" ) "));

    const QString &line3 = lines[2];
    // The race number stands in every line's key: a label the host did not
    // write ("１１Ｒ" in full width, a damaged line) must not shift its columns.
    const QString raceNumber =
        platform::toHalfWidth(Mid(line3, 2, 1) == u"Ｒ" ? QStringLiteral("0") + Mid(line3, 1, 1) : Mid(line3, 1, 2));
    if (!allDigits(raceNumber, 2) || raceNumber.toInt() < 1 || raceNumber.toInt() > 12)
        return fail(QStringLiteral("レース番号が 01～12 ではありません． ( ") + line3 + QStringLiteral(" ) "));
    r.raceKey = code + year + meeting + day + raceNumber;
    // The host stays on its last race when asked for the next one: the same
    // race again is not appended twice.
    if (r.raceKey == previousRaceKey) {
        r.repeated = true;
        return r;
    }

    bool ok = false;
    const double count = common::TextToDouble(Mid(common::RightOf(lines[3], 4), 1, 2), &ok);
    if (!ok || count < 0 || count != std::floor(count))
        return fail(QStringLiteral("頭数が数値ではありません． ( ") + lines[3] + QStringLiteral(" ) "));
    const int runners = int(count);
    if (lines.size() < 7 + runners)
        return fail(
            QStringLiteral("%1 頭に対して出走馬の行が %2 行しかありません．").arg(runners).arg(lines.size() - 7) +
            inFile);

    QStringList out;
    for (int i = 7; i < 7 + runners; ++i)
        out << RewriteRunnerLine(r.raceKey, lines[i]);
    const QString path =
        mdataFolder + QStringLiteral("MS") + year + meeting + racing::PlaceCode(course, 1) + QStringLiteral(".dat");
    if (!out.isEmpty() && !platform::appendLines(path, out, &error))
        return fail(QStringLiteral("結果コメントファイルに書き込めません． ( ") + path + QStringLiteral(" ) ") + error);
    r.path = path;
    r.lines = int(out.size());
    return r;
}

QString CommentsDoneMessage(const std::vector<CommentAppend> &races)
{
    QStringList files;
    std::vector<std::pair<int, int>> counts; // lines, races per file
    for (const CommentAppend &c : races) {
        if (!c.appended())
            continue;
        qsizetype i = files.indexOf(c.path);
        if (i < 0) {
            files << c.path;
            counts.emplace_back(0, 0);
            i = files.size() - 1;
        }
        counts[size_t(i)].first += c.lines;
        counts[size_t(i)].second += 1;
    }
    if (files.isEmpty())
        return QStringLiteral("結果コメントは書き込みませんでした．（0 レース）");
    QString text = QStringLiteral("結果コメントを書き込みました．");
    for (qsizetype i = 0; i < files.size(); ++i)
        text += QStringLiteral("\n%1 : %2 レース %3 行")
                    .arg(files[i])
                    .arg(counts[size_t(i)].second)
                    .arg(counts[size_t(i)].first);
    return text;
}

} // namespace korvin::host
