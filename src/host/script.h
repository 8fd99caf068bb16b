#pragma once
// The keystroke scripts of the two host windows, each built once as a list of
// operations from the window's boxes and the settings. The printed dry run,
// the recorded run and the real run all walk the same list.
#include "common/settings.h"
#include "platform/messages.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>

namespace korvin::host {

// The host's main window, and this program's own (to take the focus back).
inline const QString kHostWindowTitle = QStringLiteral("Vantor frontier");
inline const QString kOwnWindowTitle = QStringLiteral("Korvin");

struct Operation {
    enum class Kind { Delete, Activate, Wait, Keys, Type, CheckExport, Split, AppendComments, CapsLockOnIfOff };
    Kind kind = Kind::Keys;
    QString text;    // Delete: path; Activate: title; Keys: key string; Type: the text
    int seconds = 0; // Wait
    QString waitBox; // Wait: "Wait1".."Wait3" when a box gave it, empty for the fixed second
    int race = 0;    // race of the run (1..N) the operation belongs to; 0 before and after the races

    bool operator==(const Operation &o) const
    {
        return kind == o.kind && text == o.text && seconds == o.seconds && waitBox == o.waitBox && race == o.race;
    }
};

// One dry-run line: a compact JSON array, ["keys","{F8}"], ["wait",2],
// ["type","/data/TimeRank/TimeRank.txt"], ["check-export",1], ["split"] ...
QString DryRunLine(const Operation &op);

struct Script {
    std::vector<Operation> operations;
    int races = 0;        // N, the repeat box
    QString exportPath;   // the file the host writes ("TimeRank.txt" or "Comment.txt")
    QString outputFolder; // where the file steps write: TimeRank (split) or MData (comments)
    int kind = 0;         // ranking kind of the split
    // How long an export may take to appear and settle: Wait3 + 5 seconds.
    int exportTimeoutSeconds = 5;
};

QStringList DryRun(const Script &script);

// The texts of the wait boxes and the repeat box, and the numbers they give.
struct RunBoxes {
    std::array<QString, 3> waits;
    QString repeat;
};
struct RunNumbers {
    std::array<int, 3> waits{};
    int races = 0;
};

// A wait box: the number rounded down (2.7 gives 2, -0.5 gives -1). A repeat
// box: rounded to the nearest, halves to even (2.5 gives 2, 3.5 gives 4).
// nullopt when the text is not a number or the result does not fit 16 bits.
std::optional<qint16> WaitBoxValue(const QString &text);
std::optional<qint16> RepeatBoxValue(const QString &text);

// All four boxes; on a fault a critical message naming the box, and nullopt.
// A repeat below 1 runs no race and is refused too.
std::optional<RunNumbers> ConvertRunBoxes(const RunBoxes &boxes, platform::Messages &messages);

// Number of the host version ("2.05" and on send "F" after "{F8}"): the first
// four characters of Vantor_Ver read as a decimal number.
std::optional<double> HostVersion(const QString &versionSetting);

// ExportTimeRankText: the keys that make the host export 36 ranking views per
// race into the TimeRank folder's "TimeRank.txt", then the split. nullopt,
// with a message, when the settings cannot drive a run (version text, folder).
std::optional<Script> BuildExportScript(const RunNumbers &numbers, int kind, const common::SettingsRecord &settings,
                                        platform::Messages &messages);

// WriteResultComments: per race the host exports its result to the MData
// folder's "Comment.txt", whose lines are then appended to the comment file.
std::optional<Script> BuildCommentScript(const RunNumbers &numbers, const common::SettingsRecord &settings,
                                         platform::Messages &messages);

} // namespace korvin::host
