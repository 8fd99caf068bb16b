#pragma once
#include "platform/ui/window.h"
#include "racecard/racetable.h"
#include "timerank/timerankfile.h"

#include <QPointer>
#include <array>
#include <map>

class QLabel;
class QPushButton;

namespace korvin::app::ui {

// The main menu: the first window, from which every function is reached.
class frmMenu : public QWidget {
    Q_OBJECT
public:
    explicit frmMenu(QWidget *parent = nullptr);

    // Button of cmdMenu by index (0, 1, 2, 3, 4, 99).
    QPushButton *cmdMenu(int index) const { return m_buttons.at(index); }
    // The function window opened last (null when it has closed).
    QWidget *openedWindow() const { return m_opened; }

    void cmdMenu_Click(int index);

signals:
    // "Quit" was pressed or the menu was closed: the program ends.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // What the race-card and time-rank windows have chosen, for the whole run.
    racecard::RaceCardSelection m_raceCard;
    timerank::TimeRankSelection m_timeRank;
    std::map<int, QPushButton *> m_buttons;
    QPointer<QWidget> m_opened;
};

} // namespace korvin::app::ui
