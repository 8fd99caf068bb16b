#include "host/script.h"

#include "common/helpers.h"
#include "platform/textfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <cmath>

namespace korvin::host {

namespace {

using Kind = Operation::Kind;

const char *kindWord(Kind k)
{
    switch (k) {
    case Kind::Delete: return "delete";
    case Kind::Activate: return "activate";
    case Kind::Wait: return "wait";
    case Kind::Keys: return "keys";
    case Kind::Type: return "type";
    case Kind::CheckExport: return "check-export";
    case Kind::Split: return "split";
    case Kind::AppendComments: return "append-comments";
    case Kind::CapsLockOnIfOff: return "capslock-on-if-off";
    }
    return "";
}

std::optional<qint16> fit16(double v)
{
    if (v < -32768.0 || v > 32767.0)
        return std::nullopt;
    return qint16(v);
}

// Builds a script in order; empty key strings send nothing and are left out.
class Builder {
public:
    Script script;
    int race = 0;

    void add(Kind kind, const QString &text = {})
    {
        Operation op;
        op.kind = kind;
        op.text = text;
        op.race = race;
        script.operations.push_back(op);
    }
    void keys(const QString &k)
    {
        if (!k.isEmpty())
            add(Kind::Keys, k);
    }
    void wait(int seconds, const QString &box = {})
    {
        Operation op;
        op.kind = Kind::Wait;
        op.seconds = seconds;
        op.waitBox = box;
        op.race = race;
        script.operations.push_back(op);
    }
    void waitBox(const RunNumbers &n, int i) { wait(n.waits[i], QStringLiteral("Wait%1").arg(i + 1)); }

    // Activation and "{Enter}" that every run starts with.
    void opening(const RunNumbers &n)
    {
        // How long the host may take to write an export: Wait3 and some.
        script.exportTimeoutSeconds = qMax(0, n.waits[2]) + 5;
        add(Kind::Activate, kHostWindowTitle);
        waitBox(n, 0);
        keys(QStringLiteral("{Enter}"));
        waitBox(n, 1);
    }
    // Moves the host's cursor to the next race, except after the last one.
    void nextRace(const RunNumbers &n, int k)
    {
        if (k != n.races - 1) {
            keys(QStringLiteral("{PGDN}"));
            waitBox(n, 1);
        }
    }
    void closing()
    {
        race = 0;
        keys(QStringLiteral("{F12}"));
        wait(1);
    }
};

struct KindKeys {
    const char *kind;
    const char *tab;
    const char *up;
};
const std::array<KindKeys, 6> kKindKeys{{
    {"", "{TAB 3}", "{UP}"},
    {"{F6}", "", ""},
    {"{F6 2}", "{TAB 3}", "{UP}"},
    {"{F6 3}", "", ""},
    {"{F6 4}", "{TAB 3}", "{UP}"},
    {"{F6 5}", "{TAB 3}", "{UP}"},
}};

// The folder a script's files live in: set and present, or a message.
bool checkFolder(const QString &key, const QString &folder, platform::Messages &messages)
{
    if (folder.isEmpty()) {
        messages.push_back(platform::Critical(key + QStringLiteral(" が設定されていません．")));
        return false;
    }
    if (!platform::folderExists(folder)) {
        messages.push_back(platform::Critical(QStringLiteral("Path not found!! ( ") + folder + QStringLiteral(" )")));
        return false;
    }
    return true;
}

bool checkRaces(const RunNumbers &n, platform::Messages &messages)
{
    if (n.races >= 1)
        return true;
    messages.push_back(platform::Critical(
        QStringLiteral("Repeat の値が 1 以上ではありません．レースの数を入れて下さい． ( %1 )").arg(n.races)));
    return false;
}

} // namespace

QString DryRunLine(const Operation &op)
{
    QJsonArray a{QString::fromLatin1(kindWord(op.kind))};
    switch (op.kind) {
    case Kind::Delete:
    case Kind::Activate:
    case Kind::Keys:
    case Kind::Type: a.append(op.text); break;
    case Kind::Wait: a.append(op.seconds); break;
    case Kind::CheckExport: a.append(op.race); break;
    default: break;
    }
    return QString::fromUtf8(QJsonDocument(a).toJson(QJsonDocument::Compact));
}

QStringList DryRun(const Script &script)
{
    QStringList lines;
    for (const Operation &op : script.operations)
        lines << DryRunLine(op);
    return lines;
}

std::optional<qint16> WaitBoxValue(const QString &text)
{
    bool ok = false;
    const double v = common::TextToDouble(text, &ok);
    if (!ok)
        return std::nullopt;
    return fit16(std::floor(v));
}

std::optional<qint16> RepeatBoxValue(const QString &text)
{
    bool ok = false;
    const double v = common::TextToDouble(text, &ok);
    if (!ok)
        return std::nullopt;
    const double low = std::floor(v);
    const double diff = v - low;
    double r = diff < 0.5 ? low : low + 1;
    if (diff == 0.5)
        r = std::fmod(low, 2.0) == 0 ? low : low + 1;
    return fit16(r);
}

std::optional<RunNumbers> ConvertRunBoxes(const RunBoxes &boxes, platform::Messages &messages)
{
    auto fault = [&](const QString &box, const QString &text) {
        messages.push_back(platform::Critical(box + QStringLiteral(" の値が -32768～32767 の数値ではありません． ( ") +
                                              text + QStringLiteral(" )")));
        return std::nullopt;
    };
    RunNumbers n;
    for (int i = 0; i < 3; ++i) {
        const auto w = WaitBoxValue(boxes.waits[i]);
        if (!w)
            return fault(QStringLiteral("Wait%1").arg(i + 1), boxes.waits[i]);
        n.waits[i] = *w;
    }
    const auto r = RepeatBoxValue(boxes.repeat);
    if (!r)
        return fault(QStringLiteral("Repeat"), boxes.repeat);
    n.races = *r;
    if (!checkRaces(n, messages))
        return std::nullopt;
    return n;
}

std::optional<double> HostVersion(const QString &versionSetting)
{
    bool ok = false;
    const double v = common::TextToDouble(versionSetting.left(4), &ok);
    if (!ok)
        return std::nullopt;
    return v;
}

std::optional<Script> BuildExportScript(const RunNumbers &n, int kind, const common::SettingsRecord &settings,
                                        platform::Messages &messages)
{
    if (kind < 0 || kind >= int(kKindKeys.size())) {
        messages.push_back(platform::Critical(QStringLiteral("ランキングの種類が正しくありません． ( %1 )").arg(kind)));
        return std::nullopt;
    }
    const auto version = HostVersion(settings.Vantor_Ver);
    if (!version) {
        messages.push_back(platform::Critical(QStringLiteral("Vantor_Ver の先頭4文字が数値ではありません． ( ") +
                                              settings.Vantor_Ver + QStringLiteral(" )")));
        return std::nullopt;
    }
    if (!checkRaces(n, messages) || !checkFolder(QStringLiteral("TimeRank"), settings.TimeRank, messages))
        return std::nullopt;

    const KindKeys &kk = kKindKeys[size_t(kind)];
    const QString kindKeys = QString::fromLatin1(kk.kind);
    const bool withF = *version >= 2.05;

    Builder b;
    b.script.races = n.races;
    b.script.kind = kind;
    b.script.outputFolder = settings.TimeRank;
    b.script.exportPath = settings.TimeRank + QStringLiteral("TimeRank.txt");
    const auto exportKeys = [&] {
        b.keys(QStringLiteral("{F8}"));
        if (withF)
            b.keys(QStringLiteral("F"));
    };
    const auto views = [&](int count) {
        for (int v = 0; v < count; ++v) {
            b.keys(QStringLiteral("{F3}"));
            exportKeys();
            b.keys(QStringLiteral("{Enter}"));
            b.keys(QStringLiteral("{Enter}"));
        }
    };

    b.add(Kind::Delete, b.script.exportPath);
    b.opening(n);
    for (int k = 0; k < n.races; ++k) {
        b.race = k + 1;
        b.keys(QStringLiteral("{F6}"));
        b.waitBox(n, 2);
        b.keys(QStringLiteral("{INSERT}"));
        b.keys(kindKeys);
        b.keys(QStringLiteral("{F7}"));
        exportKeys();
        if (k == 0) {
            // The host asks for the file only once; later exports go to the same file.
            b.add(Kind::Type, b.script.exportPath);
            b.wait(1);
        } else {
            b.keys(QStringLiteral("{Enter}"));
        }
        b.keys(QStringLiteral("{Enter}"));
        views(5);
        for (int round = 0; round < 2; ++round) {
            b.keys(QStringLiteral("{F4}"));
            views(6);
        }
        b.keys(QString::fromLatin1(kk.tab));
        b.keys(QString::fromLatin1(kk.up));
        for (int round = 0; round < 3; ++round) {
            b.keys(QStringLiteral("{F4}"));
            views(6);
        }
        b.keys(QStringLiteral("{F12}"));
        // The race's 36 exports are in the file before the host moves on.
        b.add(Kind::CheckExport);
        b.nextRace(n, k);
    }
    b.closing();
    b.add(Kind::Split);
    return b.script;
}

std::optional<Script> BuildCommentScript(const RunNumbers &n, const common::SettingsRecord &settings,
                                         platform::Messages &messages)
{
    if (!checkRaces(n, messages) || !checkFolder(QStringLiteral("MData"), settings.MData, messages))
        return std::nullopt;
    Builder b;
    b.script.races = n.races;
    b.script.outputFolder = settings.MData;
    b.script.exportPath = settings.MData + QStringLiteral("Comment.txt");

    b.opening(n);
    b.keys(QStringLiteral(" "));
    for (int k = 0; k < n.races; ++k) {
        b.race = k + 1;
        b.add(Kind::Delete, b.script.exportPath);
        b.keys(QStringLiteral("{F8}"));
        if (k == 0)
            b.add(Kind::Type, b.script.exportPath);
        b.keys(QStringLiteral("{Enter}"));
        b.wait(1);
        b.keys(QStringLiteral("{Enter}"));
        b.add(Kind::AppendComments);
        b.nextRace(n, k);
    }
    b.closing();
    b.add(Kind::CapsLockOnIfOff);
    b.add(Kind::Activate, kOwnWindowTitle);
    return b.script;
}

} // namespace korvin::host
