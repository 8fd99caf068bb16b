#pragma once
// "Korvin.ini": one setting per line, characters 1-10 the key padded with
// blanks, the value from character 11 to the end of the line, untrimmed.
// Lines starting with "#" are comments. A later line with the same key wins.
#include "platform/messages.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace korvin::common {

struct SettingsRecord {
    QString Vantor_Ver;
    QString MData;    // host data folder (prefix, ends with the separator)
    QString SData;    // payout files folder (prefix)
    QString SDataON;  // anything but "0" shows payouts
    QString DenCSV;   // race-card CSV folder
    QString VTX_Text; // VTX text folder (prefix)
    QString TimeRank; // time-rank files folder (prefix)
    qint16 Wait1 = 0;
    qint16 Wait2 = 0;
    qint16 Wait3 = 0;
};

// The shared settings of the whole program. Not cached: every window that
// needs them calls LoadSettings when it opens.
extern SettingsRecord Settings;

inline const QString kSettingsFileName = QStringLiteral("Korvin.ini");

// ProgramFolder + "Korvin.ini".
QString SettingsPath();

// The ten settings as "Name=value" pairs in file-table order.
QList<QPair<QString, QString>> SettingsFields(const SettingsRecord &s);

// Bad Wait lines named one by one; a file of more is told by their count.
constexpr int kListedBadLines = 30;

struct SettingsLoad {
    bool opened = false;
    QString openError;    // the platform's reason when not opened
    QStringList badLines; // lines whose Wait value is not a 16-bit integer, the first 30
    int moreBadLines = 0; // such lines after those
};

// Applies the lines of a settings file to s (fields not named keep their value).
void ApplySettingsLines(const QStringList &lines, SettingsRecord &s, QStringList *badLines = nullptr);

// Reads a settings file into s.
SettingsLoad LoadSettingsFile(const QString &path, SettingsRecord &s);

// Message texts of the loader.
QString SettingsMissingMessage(const QString &path, const QString &reason);
QString SettingsBadLineMessage(const QString &line);

// Loads ProgramFolder's "Korvin.ini" into Settings and returns what the user
// must be told: a missing or unreadable file is a fatal message naming the path
// (the program cannot go on without its settings); each bad Wait line is one
// critical message (thirty of them, then one with the count of the others),
// and that value keeps its old one.
[[nodiscard]] platform::Messages LoadSettings();

// The options window's model: the setting lines shown as label and box pairs.
constexpr int kOptionPairs = 15;
struct OptionPair {
    QString label; // characters 1-10 of the line, unchanged
    QString value; // characters 11 to the end
};
QList<OptionPair> OptionPairsOf(const QStringList &lines);

// The lines written by the options save: comments unchanged; each of the first
// fifteen setting lines as its first ten characters followed by the box text
// of the first label equal to them; later setting lines unchanged.
QStringList SaveOptionLines(const QStringList &lines, const QList<OptionPair> &edited);

// Rewrites the settings file with the edited pairs through "NewKorvin.ini",
// renamed over "Korvin.ini" in one step. False (with the reason) on failure;
// the old file is then intact.
bool SaveOptions(const QList<OptionPair> &edited, QString *error);

} // namespace korvin::common
