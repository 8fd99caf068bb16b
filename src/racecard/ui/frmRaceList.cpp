#include "racecard/ui/frmRaceList.h"

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
    for (int i = 0; i < 3; ++i) {
        m_place[i] = new QPushButton(this);
        m_place[i]->setObjectName(QStringLiteral("cmdPlace_%1").arg(i));
        m_place[i]->setEnabled(false);
        m_place[i]->setMinimumHeight(32);
        places->addWidget(m_place[i]);
        connect(m_place[i], &QPushButton::clicked, this, [this, i] { cmdPlace_Click(i); });
    }
    auto *races = new QVBoxLayout;
    for (int i = 0; i < 12; ++i) {
        m_race[i] = new QPushButton(this);
        m_race[i]->setObjectName(QStringLiteral("cmdRace_%1").arg(i));
        m_race[i]->setFont(platform::ui::fixedPitchFont(11));
        m_race[i]->setEnabled(false);
        m_race[i]->setMinimumHeight(28);
        m_race[i]->setStyleSheet(QStringLiteral("text-align: left; padding-left: 8px;"));
        races->addWidget(m_race[i]);
        connect(m_race[i], &QPushButton::clicked, this, [this, i] { cmdRace_Click(i); });
    }
    const QString captions[2] = {QStringLiteral("Close"), QStringLiteral("検証")};
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        m_list[i] = new QPushButton(captions[i], this);
        m_list[i]->setObjectName(QStringLiteral("cmdRaceList_%1").arg(i));
        buttons->addWidget(m_list[i]);
        connect(m_list[i], &QPushButton::clicked, this, [this, i] { cmdRaceList_Click(i); });
    }
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
    CurrentRaceButtons = racecard::ShowRaces(RaceTables, course);
    for (int r = 0; r < 12; ++r) {
        m_race[r]->setText(CurrentRaceButtons[r].caption);
        m_race[r]->setEnabled(CurrentRaceButtons[r].enabled);
    }
    CurrentCourse = course;
}

void frmRaceList::cmdPlace_Click(int index)
{
    ShowRaces(RaceTables.CourseCodes[index]);
}

void frmRaceList::cmdRace_Click(int index)
{
    hide();
    CurrentRaceIndex = index;
    CurrentRaceKey = CurrentRaceButtons[index].key;
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
