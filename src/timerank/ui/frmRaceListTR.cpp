#include "timerank/ui/frmRaceListTR.h"

#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/ui/buttonarray.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmTimeRank.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::timerank::ui {

std::function<void(frmRaceListTR &)> &frmRaceListTR::batchPrediction()
{
    static std::function<void(frmRaceListTR &)> run;
    return run;
}

frmRaceListTR::frmRaceListTR(QWidget *opener, TimeRankSelection &selection)
    : KorvinWindow(opener), m_selection(selection)
{
    setObjectName(QStringLiteral("frmRaceListTR"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / RaceList"));

    auto *layout = new QVBoxLayout(this);
    auto *places = new QHBoxLayout;
    m_place = platform::ui::ButtonArray<kMaxCourses>(this, QStringLiteral("cmdPlace"), &frmRaceListTR::cmdPlace_Click);
    for (QPushButton *b : m_place) {
        b->setEnabled(false);
        b->setMinimumSize(120, 34);
        places->addWidget(b);
    }
    places->addStretch();
    layout->addLayout(places);
    m_date = new QLabel(this);
    m_date->setObjectName(QStringLiteral("LabelDate"));
    m_date->setFont(platform::ui::fixedPitchFont(11));
    layout->addWidget(m_date);
    m_race = platform::ui::ButtonArray<kMaxRaces>(this, QStringLiteral("cmdRace"), &frmRaceListTR::cmdRace_Click);
    for (QPushButton *b : m_race) {
        b->setFont(platform::ui::fixedPitchFont(10));
        b->setEnabled(false);
        b->setStyleSheet(QStringLiteral("text-align: left; padding: 4px 8px;"));
        b->setMinimumHeight(28);
        layout->addWidget(b);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<QString, 2> captions{QStringLiteral("Close"), QStringLiteral("一括予想 （Z.O.R.B形式）")};
    m_buttons =
        platform::ui::ButtonArray(this, QStringLiteral("cmdRaceList"), captions, &frmRaceListTR::cmdRaceList_Click);
    for (QPushButton *b : m_buttons) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    m_buttons[1]->setEnabled(bool(batchPrediction()));

    m_list = LoadRaceList(m_selection.file);
    platform::ShowMessages(m_list.messages);
    if (m_list.opened && !m_list.headerFound)
        platform::dialogs().information(NoRaceHeaderMessage(m_selection.file));
    for (size_t i = 0; i < m_list.courses.size(); ++i) {
        m_place[i]->setText(m_list.courses[i].name);
        m_place[i]->setEnabled(true);
    }
    if (!m_list.courses.empty())
        cmdPlace_Click(0);
}

void frmRaceListTR::cmdPlace_Click(int index)
{
    if (index < 0 || index >= int(m_list.courses.size()))
        return;
    m_course = index;
    const TRCourse &c = m_list.courses[index];
    m_date->setText(c.dateLabel);
    for (int r = 0; r < kMaxRaces; ++r) {
        m_race[r]->setText(c.captions[r]);
        m_race[r]->setEnabled(!c.captions[r].isEmpty());
    }
}

void frmRaceListTR::cmdRace_Click(int index)
{
    const QString wanted = m_list.courses[size_t(m_course)].wanted[index];
    auto *w = new frmTimeRank(this, m_selection);
    m_analysis = w;
    TimeRankAnalysis &a = w->model();
    // The analysis window opens on the first race and steps to the wanted one;
    // a race it never finds stops the search at the last race.
    while (a.current() && a.current()->identity() != wanted) {
        if (a.raceIndex() >= a.raceCount() - 1) {
            platform::dialogs().information(
                QStringLiteral("選択したレースがタイムランクファイルにありません． ( %1 )").arg(wanted));
            break;
        }
        qint16 direction = 1;
        w->TRMoveRace(direction);
    }
    w->show();
    hide();
}

void frmRaceListTR::cmdRaceList_Click(int index)
{
    if (index == 0) {
        close();
        return;
    }
    if (batchPrediction())
        batchPrediction()(*this);
}

} // namespace korvin::timerank::ui
