#pragma once
// The stand-in host's screens and what each key does on them, without a
// window: given the state and a key, the next state and any export written.
//
//   race list --Enter--> race card (出馬表)             [list of race cards]
//   race list --Enter--> result (成績), Space: detail   [list of results]
//   race card --F6--> time analysis --Insert--> ranking kinds (F6 next kind)
//             --F7--> ranking view: F3 next period, F4 next surface (own,
//             other, turf and dirt), Tab next control, Up/Down change the
//             control in focus (the fourth is the distance: ±200m / all)
//   F8 exports the view on screen through prompts: the output form (from
//   version 2.05 on, answered "F" and nothing else), the path (typed text
//   replaces the path offered; nothing is offered before the first path is
//   entered), then "append?" when the ranking file exists, or "done" after a
//   result export. F12 goes back one screen (Esc only cancels a prompt); PgDn
//   moves to the next race, and at the last race it is taken once and the
//   host stays there.
//
// The host is strict: a key its screen does not expect changes nothing and
// press() says so, so that a run that lost its way shows at the first key.
#include "demoday.h"
#include "host/keyactions.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace korvin::hostsim {

// Where exports go: the window writes files, the tests keep them in memory.
class ExportFiles {
public:
    virtual ~ExportFiles() = default;
    virtual bool exists(const QString &path) = 0;
    // CP932 with CR LF; append adds to the end (creating the file), else the file is replaced.
    virtual bool write(const QString &path, const QStringList &lines, bool append, QString *error) = 0;
};

enum class Screen { RaceList, RaceCard, RankMenu, KindSelect, RankView, ResultView };
enum class ListMode { Cards, Results };
enum class Prompt { None, Format, Path, Append, Overwrite, Done, Error };

struct HostOptions {
    QString version = QStringLiteral("2.05"); // "Vantor_Ver": from 2.05 on F8 asks for the output form
    QString rankPath;                         // path the first ranking export offers (empty: none)
    QString resultPath;                       // the same for the result export
    // Later exports offer the last path entered for their kind.
};

// Slow mode: how long a key keeps the host busy (in units of the key delay)
// and what it is doing meanwhile.
struct Work {
    int units = 1;
    QString text;
};

class HostModel {
public:
    HostModel(demodata::Day day, HostOptions options, ExportFiles &files);

    // Acts on one key. False when the key means nothing at this point: the
    // state is then unchanged.
    bool press(const host::KeyAction &key);
    Work work(const host::KeyAction &key) const;

    Screen screen() const { return m_screen; }
    Prompt prompt() const { return m_prompt; }
    ListMode listMode() const { return m_listMode; }
    // Only on the race list (false elsewhere).
    bool setListMode(ListMode mode);
    bool setCursor(int index);
    int cursor() const { return m_cursor; }
    int raceCount() const { return int(m_races.size()); }
    // "東京 11R 芝1600m 18頭 水無月記念・Ｇ３"
    QString raceCaption(int index) const;
    // Name of the screen (and prompt) for the status line.
    QString screenName() const;
    // What the screen shows.
    QStringList screenLines() const;
    // The last notice or error ("書き込めません: ..."), empty when none.
    QString message() const { return m_message; }
    // The file-name prompt: the name as typed so far, and whether it is the
    // name offered, selected (the next character replaces it).
    QString pathText() const { return m_pathText; }
    bool pathSelected() const { return m_pathSelected; }
    bool versionAsksForm() const { return m_asksForm; }
    int exportsWritten() const { return m_exports; }
    const demodata::Day &day() const { return m_day; }

private:
    struct RaceRef {
        int course;
        int race;
    };
    const demodata::Course &course() const { return m_day.courses[m_races[m_cursor].course]; }
    const demodata::Race &race() const { return course().races[m_races[m_cursor].race]; }
    bool pressScreen(const host::KeyAction &key, bool wasAtEnd);
    bool pressPrompt(const host::KeyAction &key);
    bool moveRace(int step);
    // PgDn on a race card or result: the next race, or stay on the last one.
    bool nextRaceOrStay(bool previousWasAtEnd);
    void openRankView(int kind);
    void startExport(bool rank);
    bool finishPath();
    void writeExport(bool append);
    QStringList rankLines() const;
    QStringList resultLines() const;

    demodata::Day m_day;
    HostOptions m_options;
    ExportFiles &m_files;
    bool m_asksForm = true;
    QVector<RaceRef> m_races;
    int m_cursor = 0;
    ListMode m_listMode = ListMode::Cards;
    Screen m_screen = Screen::RaceList;
    // Ranking kind chooser and view.
    int m_kind = 0;
    int m_period = 0;
    demodata::Surface m_surface = demodata::Surface::Own;
    bool m_near = true;
    int m_focus = 0;
    bool m_detail = false;     // result screen with margins and corners
    bool m_pagedAtEnd = false; // the last key accepted was PgDn at the last race
    // Export in progress.
    Prompt m_prompt = Prompt::None;
    bool m_rankExport = true;
    QStringList m_pending;
    QString m_pathText;
    bool m_pathSelected = false; // typing replaces the path offered
    QString m_rankPath;
    QString m_resultPath;
    QString m_message;
    int m_exports = 0;
};

// "Vantor_Ver" from 2.05 on: the first four characters read as a decimal number.
bool AsksForOutputForm(const QString &version);

} // namespace korvin::hostsim
