#include "common/settings.h"

#include "platform/safefile.h"
#include "platform/sjis.h"
#include "platform/textfile.h"
#include "common/helpers.h"
#include "common/programfolder.h"

namespace korvin::common {

SettingsRecord Settings;

QString SettingsPath() { return ProgramFolder() + kSettingsFileName; }

QList<QPair<QString, QString>> SettingsFields(const SettingsRecord &s)
{
    return {{QStringLiteral("Vantor_Ver"), s.Vantor_Ver},
            {QStringLiteral("MData"), s.MData},
            {QStringLiteral("SData"), s.SData},
            {QStringLiteral("SDataON"), s.SDataON},
            {QStringLiteral("DenCSV"), s.DenCSV},
            {QStringLiteral("VTX_Text"), s.VTX_Text},
            {QStringLiteral("TimeRank"), s.TimeRank},
            {QStringLiteral("Wait1"), QString::number(s.Wait1)},
            {QStringLiteral("Wait2"), QString::number(s.Wait2)},
            {QStringLiteral("Wait3"), QString::number(s.Wait3)}};
}

namespace {
bool isComment(const QString &line) { return line.startsWith(QLatin1Char('#')); }

bool isFolderKey(const QString &key)
{
    return key == QLatin1String("MData") || key == QLatin1String("SData") || key == QLatin1String("DenCSV") ||
           key == QLatin1String("VTX_Text") || key == QLatin1String("TimeRank");
}

// The first control character of a text (a CR left by a CR CR LF line end, a
// tab), empty when there is none.
QString firstControl(const QString &text)
{
    for (QChar c : text)
        if (c.category() == QChar::Other_Control)
            return QString(c);
    return {};
}

QString keyOf(const QString &line)
{
    QString key = line.left(10);
    while (key.endsWith(QLatin1Char(' ')))
        key.chop(1);
    return key;
}

QString controlMessage(const QString &name, const QString &control)
{
    return QStringLiteral("%1 に制御文字 (U+%2) があります．")
        .arg(name, QString::number(control.at(0).unicode(), 16).toUpper().rightJustified(4, QLatin1Char('0')));
}

// A Wait value: an integer text within 16 bits (blanks around it allowed).
bool parseWait(const QString &text, qint16 &out)
{
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return false;
    out = qint16(v);
    return true;
}

// Applies one line; false when it is a Wait line whose value is not a 16-bit
// integer, or a folder line with a control character (a folder named with it
// would be one the host never reads).
bool applyLine(const QString &line, SettingsRecord &s)
{
    if (isComment(line))
        return true;
    const QString key = keyOf(line);
    const QString value = Mid(line, 11);
    if (isFolderKey(key) && !firstControl(value).isEmpty())
        return false;
    qint16 *wait = nullptr;
    if (key == QLatin1String("Vantor_Ver"))
        s.Vantor_Ver = value;
    else if (key == QLatin1String("MData"))
        s.MData = value;
    else if (key == QLatin1String("SData"))
        s.SData = value;
    else if (key == QLatin1String("SDataON"))
        s.SDataON = value;
    else if (key == QLatin1String("DenCSV"))
        s.DenCSV = value;
    else if (key == QLatin1String("VTX_Text"))
        s.VTX_Text = value;
    else if (key == QLatin1String("TimeRank"))
        s.TimeRank = value;
    else if (key == QLatin1String("Wait1"))
        wait = &s.Wait1;
    else if (key == QLatin1String("Wait2"))
        wait = &s.Wait2;
    else if (key == QLatin1String("Wait3"))
        wait = &s.Wait3;
    return !wait || parseWait(value, *wait);
}
} // namespace

void ApplySettingsLines(const QStringList &lines, SettingsRecord &s, QStringList *badLines)
{
    for (const QString &line : lines)
        if (!applyLine(line, s) && badLines)
            badLines->append(line);
}

SettingsLoad LoadSettingsFile(const QString &path, SettingsRecord &s)
{
    SettingsLoad result;
    const auto lines = platform::readLinesLazily(path, &result.openError);
    if (!lines)
        return result;
    result.opened = true;
    for (const QString &line : *lines) {
        if (applyLine(line, s))
            continue;
        if (result.badLines.size() < kListedBadLines)
            result.badLines.append(line);
        else
            ++result.moreBadLines;
    }
    return result;
}

QString SettingsMissingMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("設定ファイルを開けません． ( %1 )\n%2").arg(path, reason);
}

QString SettingsBadLineMessage(const QString &line)
{
    const QString key = keyOf(line);
    if (isFolderKey(key))
        return QStringLiteral("設定ファイルの ") + controlMessage(key, firstControl(Mid(line, 11))) +
               QStringLiteral("この設定は使いません．");
    return QStringLiteral("設定ファイルの待ち時間が整数(-32768～32767)ではありません． ( %1 )").arg(line);
}

platform::Messages LoadSettings()
{
    const QString path = SettingsPath();
    const SettingsLoad r = LoadSettingsFile(path, Settings);
    if (!r.opened)
        return {platform::Fatal(SettingsMissingMessage(path, r.openError))};
    platform::Messages messages;
    for (const QString &line : r.badLines)
        messages.push_back(platform::Critical(SettingsBadLineMessage(line)));
    if (r.moreBadLines > 0)
        messages.push_back(platform::Critical(
            QStringLiteral("設定ファイルの待ち時間が整数(-32768～32767)ではない行がほかに %1 行あります．")
                .arg(r.moreBadLines)));
    return messages;
}

QList<OptionPair> OptionPairsOf(const QStringList &lines)
{
    QList<OptionPair> pairs;
    for (const QString &line : lines) {
        if (isComment(line))
            continue;
        if (pairs.size() == kOptionPairs)
            break;
        pairs.append({line.left(10), Mid(line, 11)});
    }
    return pairs;
}

QStringList SaveOptionLines(const QStringList &lines, const QList<OptionPair> &edited)
{
    QStringList out;
    int settingLine = 0;
    for (const QString &line : lines) {
        if (isComment(line)) {
            out << line;
            continue;
        }
        const int index = settingLine++;
        if (index >= edited.size()) {
            // A line without a box (beyond the fifteen pairs) stays as it is.
            out << line;
            continue;
        }
        const QString key = line.left(10);
        QString value;
        for (const OptionPair &p : edited) {
            if (p.label == key) {
                value = p.value;
                break;
            }
        }
        out << key + value;
    }
    return out;
}

namespace {
// A box's name in a message: its label without the padding blanks.
QString boxName(const QString &label)
{
    QString name = label;
    while (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    return name;
}

// A Wait box the loader could not read back would be complained about on
// every start: refused before anything is written.
QString waitProblem(const QList<OptionPair> &edited)
{
    for (const OptionPair &p : edited) {
        const QString name = boxName(p.label);
        qint16 value = 0;
        if ((name == QLatin1String("Wait1") || name == QLatin1String("Wait2") || name == QLatin1String("Wait3")) &&
            !parseWait(p.value, value))
            return QStringLiteral("%1 には -32768～32767 の整数を入れて下さい． ( %2 )").arg(name, p.value);
    }
    return {};
}

QString folderProblem(const QList<OptionPair> &edited)
{
    for (const OptionPair &p : edited) {
        const QString name = boxName(p.label);
        const QString control = firstControl(p.value);
        if (isFolderKey(name) && !control.isEmpty())
            return controlMessage(name, control);
    }
    return {};
}
} // namespace

bool SaveOptions(const QList<OptionPair> &edited, QString *error)
{
    QString problem = waitProblem(edited);
    if (problem.isEmpty())
        problem = folderProblem(edited);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    const QString path = SettingsPath();
    const auto raw = platform::readRawLines(path, error);
    if (!raw)
        return false;
    QStringList lines;
    for (const QByteArray &line : *raw)
        lines << platform::fromSjis(line);
    const QStringList out = SaveOptionLines(lines, edited);
    // A line the save leaves as it was goes back as its bytes (comments in
    // another encoding, duplicate codes); only a changed line is encoded.
    QList<QByteArray> bytes = *raw;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out[i] == lines[i])
            continue;
        const QString bad = platform::firstUnencodable(out[i]);
        if (!bad.isEmpty()) {
            if (error)
                *error = platform::unencodableMessage(boxName(out[i].left(10)), bad);
            return false;
        }
        bytes[i] = platform::toSjis(out[i]);
    }
    return platform::saveWholeVia(ProgramFolder() + QStringLiteral("New") + kSettingsFileName, path,
                                  platform::joinRawLines(bytes), error);
}

} // namespace korvin::common
