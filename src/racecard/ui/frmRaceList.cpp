#include "racecard/ui/frmRaceList.h"

#include "platform/ui/buttonarray.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::racecard::ui {

std::function<QWidget *(QWidget *, RaceCardSelection &)> &frmRaceList::verificationWindowFactory()
{
    static std::function<QWidget *(QWidget *, RaceCardSelection &)> factory;
    return factory;
}

frmRaceList::frmRaceList(QWidget *opener, RaceCardSelection &selection) : KorvinWindow(opener), m_selection(selection)
{
    setObjectName(QStringLiteral("frmRaceList"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / RaceList"));

    auto *places = new QHBoxLayout;
    m_place = platform::ui::ButtonArray<3>(this, QStringLiteral("cmdPlace"), &frmRaceList::cmdPlace_Click);
    for (QPushButton *b : m_place) {
        b->setEnabled(false);
        b->setMinimumHeight(32);
        places->addWidget(b);
    }
    auto *races = new QVBoxLayout;
    m_race = platform::ui::ButtonArray<12>(this, QStringLiteral("cmdRace"), &frmRaceList::cmdRace_Click);
    for (QPushButton *b : m_race) {
        b->setFont(platform::ui::fixedPitchFont(11));
        b->setEnabled(false);
        b->setMinimumHeight(28);
        b->setStyleSheet(QStringLiteral("text-align: left; padding-left: 8px;"));
        races->addWidget(b);
    }
    m_list = platform::ui::ButtonArray(this, QStringLiteral("cmdRaceList"),
                                       std::array<QString, 2>{QStringLiteral("Close"), QStringLiteral("検証")},
                                       &frmRaceList::cmdRaceList_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : m_list)
        buttons->addWidget(b);
    m_list[1]->setEnabled(bool(verificationWindowFactory()));

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(places);
    layout->addLayout(races);
    layout->addLayout(buttons);
    resize(560, 560);

    const auto courses = CourseButtons(m_selection.table);
    for (int i = 0; i < 3; ++i) {
        m_place[i]->setText(courses[i].caption);
        m_place[i]->setEnabled(courses[i].enabled);
    }
    ShowRaces(m_selection.table.CourseCodes[0]);
}

void frmRaceList::ShowRaces(const QString &course)
{
    m_selection.raceButtons = racecard::RacesOfCourse(m_selection.table, course);
    for (int r = 0; r < 12; ++r) {
        m_race[r]->setText(m_selection.raceButtons[r].caption);
        m_race[r]->setEnabled(m_selection.raceButtons[r].enabled);
    }
    m_selection.course = course;
}

void frmRaceList::cmdPlace_Click(int index) { ShowRaces(m_selection.table.CourseCodes[index]); }

void frmRaceList::cmdRace_Click(int index)
{
    hide();
    m_selection.raceIndex = index;
    m_selection.race = m_selection.raceButtons[index].race;
    auto *w = new frmDataList(this, m_selection, m_selection.raceButtons[index].caption);
    m_opened = w;
    w->show();
}

void frmRaceList::cmdRaceList_Click(int index)
{
    if (index == 0) {
        close();
        return;
    }
    if (!verificationWindowFactory())
        return;
    QWidget *w = verificationWindowFactory()(this, m_selection);
    if (!w)
        return;
    m_opened = w;
    hide();
    w->show();
}

} // namespace korvin::racecard::ui
