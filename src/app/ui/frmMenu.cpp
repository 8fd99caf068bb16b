#include "app/ui/frmMenu.h"

#include "files/ui/frmFileMenu.h"
#include "host/ui/frmCommentSet.h"
#include "host/ui/frmTimeRankText.h"
#include "racecard/ui/frmFileSelectDenCSV.h"
#include "app/ui/frmOption.h"
#include "platform/ui/buttonarray.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::app::ui {
using namespace korvin::common;

frmMenu::frmMenu(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmMenu"));
    setWindowTitle(QStringLiteral("<< Korvin >> Tipwise for Vantor "));

    auto *shape = new QFrame(this);
    shape->setObjectName(QStringLiteral("Shape1"));
    shape->setFrameShape(QFrame::Box);
    shape->setLineWidth(2);

    auto *title = new QLabel(QStringLiteral("Korvin"), shape);
    title->setObjectName(QStringLiteral("LabelTitle"));
    QFont big = title->font();
    big.setPointSize(28);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto *sub = new QLabel(QStringLiteral("Tipwise for Vantor"), shape);
    sub->setObjectName(QStringLiteral("Label1"));
    sub->setAlignment(Qt::AlignCenter);
    auto *version = new QLabel(QStringLiteral("Version 1.00"), shape);
    version->setObjectName(QStringLiteral("LabelVersion"));
    version->setAlignment(Qt::AlignCenter);
    auto *dataDate = new QLabel(shape);
    dataDate->setObjectName(QStringLiteral("LabelDataDate"));
    dataDate->setAlignment(Qt::AlignCenter);

    auto *shapeLayout = new QVBoxLayout(shape);
    shapeLayout->addWidget(title);
    shapeLayout->addWidget(sub);
    shapeLayout->addWidget(version);
    shapeLayout->addWidget(dataDate);

    const std::array<std::pair<int, QString>, 6> captions{{
        {1, QStringLiteral("出馬表CSV && VTX分析")},
        {2, QStringLiteral("タイムランク分析")},
        {3, QStringLiteral("結果コメント設定")},
        {4, QStringLiteral("ファイルメンテナンス")},
        {99, QStringLiteral("Option")},
        {0, QStringLiteral("Quit")},
    }};
    auto *buttons = new QVBoxLayout;
    for (const auto &[index, caption] : captions) {
        QPushButton *b =
            platform::ui::ArrayButton(this, QStringLiteral("cmdMenu"), index, caption, &frmMenu::cmdMenu_Click);
        b->setMinimumHeight(34);
        m_buttons[index] = b;
        buttons->addWidget(b);
    }
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(shape, 1);
    layout->addLayout(buttons);
    resize(520, 300);
    platform::ui::rememberPlace(this);
}

void frmMenu::closeEvent(QCloseEvent *event)
{
    // Closing the menu by its frame ends the program as "Quit" does; otherwise
    // the program would go on with no window to reach it.
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit quitRequested();
}

void frmMenu::cmdMenu_Click(int index)
{
    hide();
    QWidget *w = nullptr;
    switch (index) {
    case 0: close(); return;
    case 1: w = new racecard::ui::frmFileSelectDenCSV(this, m_raceCard); break;
    case 2: w = new host::ui::frmTimeRankText(this, m_timeRank); break;
    case 3: w = new host::ui::frmCommentSet(this); break;
    case 4: w = new files::ui::frmFileMenu(this); break;
    case 99: w = new frmOption(this); break;
    default: break;
    }
    if (!w) {
        show();
        return;
    }
    m_opened = w;
    w->show();
}

} // namespace korvin::app::ui
