#include "racecard/ui/frmRaceList.h"

#include "platform/ui/buttonarray.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::racecard::ui {

std::function<QWidget *(QWidget *)> &frmRaceList::verificationWindowFactory()
{
    static std::function<QWidget *(QWidget *)> factory;
    return factory;
}

frmRaceList::frmRaceList(QWidget *opener) : KorvinWindow(opener)
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

    const auto courses = CourseButtons(RaceTables);
    for (int i = 0; i < 3; ++i) {
        m_place[i]->setText(courses[i].caption);
        m_place[i]->setEnabled(courses[i].enabled);
    }
    ShowRaces(RaceTables.CourseCodes[0]);
}

void frmRaceList::ShowRaces(const QString &course)
{
    CurrentRaceButtons = racecard::RacesOfCourse(RaceTables, course);
    for (int r = 0; r < 12; ++r) {
        m_race[r]->setText(CurrentRaceButtons[r].caption);
        m_race[r]->setEnabled(CurrentRaceButtons[r].enabled);
    }
    CurrentCourse = course;
}

void frmRaceList::cmdPlace_Click(int index) { ShowRaces(RaceTables.CourseCodes[index]); }

void frmRaceList::cmdRace_Click(int index)
{
    hide();
    CurrentRaceIndex = index;
    CurrentRaceKey = CurrentRaceButtons[index].race.key;
    auto *w = new frmDataList(this, m_race[index]->text());
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
    QWidget *w = verificationWindowFactory()(this);
    if (!w)
        return;
    m_opened = w;
    hide();
    w->show();
}

} // namespace korvin::racecard::ui
