#include "timerank/ui/frmTimeRank.h"

#include "platform/messages.h"
#include "platform/ui/buttonarray.h"
#include "racing/ui/payoutpanel.h"

#include "common/settings.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::timerank::ui {

namespace {
constexpr int kCellWidth = 100;

QLabel *named(QWidget *parent, const QString &name, const QString &text = {})
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

// The period names over the twelve columns of one half.
QWidget *periodRow(QWidget *parent, const QString &name)
{
    auto *w = new QWidget(parent);
    w->setObjectName(name);
    auto *row = new QHBoxLayout(w);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    for (int c = 0; c < 12; ++c) {
        auto *l = new QLabel(PeriodNames()[c % 6], w);
        l->setFixedWidth(kCellWidth);
        l->setAlignment(Qt::AlignCenter);
        row->addWidget(l);
        if (c == 5)
            row->addSpacing(8);
    }
    row->addStretch();
    return w;
}
} // namespace

frmTimeRank::frmTimeRank(QWidget *opener, const TimeRankSelection &selection) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmTimeRank"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / TimeRank"));
    const QFont fixed = platform::ui::fixedPitchFont(8);

    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < 2; ++i) {
        m_header[i] = named(this, QStringLiteral("LabelHeader_%1").arg(i));
        m_header[i]->setFont(platform::ui::fixedPitchFont(10));
        layout->addWidget(m_header[i]);
    }
    auto *shape1 = new QFrame(this);
    shape1->setObjectName(QStringLiteral("Shape1"));
    shape1->setFrameShape(QFrame::HLine);
    layout->addWidget(shape1);

    m_label4 = named(this, QStringLiteral("Label4"), QStringLiteral("<< 距離±200m >>"));
    m_label5 = named(this, QStringLiteral("Label5"), QStringLiteral("<< 全距離 >>"));
    m_label2 = periodRow(this, QStringLiteral("Label2"));
    m_label7 = periodRow(this, QStringLiteral("Label7"));
    const std::array<QString, 4> trackNames{QStringLiteral("LabelTrack1"), QStringLiteral("LabelTrack2"),
                                            QStringLiteral("LabelTrack3"), QStringLiteral("LabelTrack4")};
    for (int i = 0; i < 4; ++i) {
        m_track[i] = named(this, trackNames[i]);
        m_track[i]->setAlignment(Qt::AlignCenter);
        m_track[i]->setFrameShape(QFrame::StyledPanel);
    }
    for (int i = 0; i < kCells; ++i) {
        m_data[i] = named(this, QStringLiteral("LabelData_%1").arg(i));
        m_data[i]->setFont(fixed);
        m_data[i]->setFixedWidth(kCellWidth);
        m_data[i]->setMinimumHeight(QFontMetrics(fixed).height() + 4);
        m_data[i]->setFrameShape(QFrame::Panel);
        m_data[i]->setFrameShadow(QFrame::Sunken);
    }
    // One half: two blocks of six columns (own surface, then turf and dirt).
    auto addHalf = [&](QLabel *heading, QWidget *periods, QLabel *trackA, QLabel *trackB, int firstGroup) {
        layout->addWidget(heading);
        auto *tracks = new QHBoxLayout;
        tracks->setSpacing(2);
        trackA->setFixedWidth(6 * kCellWidth + 10);
        trackB->setFixedWidth(6 * kCellWidth + 10);
        tracks->addWidget(trackA);
        tracks->addSpacing(8);
        tracks->addWidget(trackB);
        tracks->addStretch();
        layout->addLayout(tracks);
        layout->addWidget(periods);
        auto *grid = new QGridLayout;
        grid->setHorizontalSpacing(2);
        grid->setVerticalSpacing(1);
        for (int g = firstGroup; g < firstGroup + 12; ++g) {
            const int column = g - firstGroup;
            for (int k = 0; k < kRanks; ++k)
                grid->addWidget(m_data[g * kRanks + k], k, column + (column >= 6 ? 1 : 0));
        }
        grid->setColumnMinimumWidth(6, 6);
        grid->setColumnStretch(13, 1);
        layout->addLayout(grid);
    };
    addHalf(m_label4, m_label2, m_track[0], m_track[1], 0);
    addHalf(m_label5, m_label7, m_track[2], m_track[3], 12);

    // Payouts.
    m_shape = new racing::ui::PayoutPanel(racing::ui::PayoutPanel::Layout::Rows, this);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_shape);
    bottom->addStretch();
    const std::array<QString, 3> captions{QStringLiteral("Back"), QStringLiteral("Next"), QStringLiteral("Close")};
    m_buttons =
        platform::ui::ButtonArray(this, QStringLiteral("cmdTimeRank"), captions, &frmTimeRank::cmdTimeRank_Click);
    for (QPushButton *b : m_buttons) {
        b->setMinimumSize(90, 32);
        bottom->addWidget(b, 0, Qt::AlignBottom);
    }
    layout->addLayout(bottom);
    layout->addStretch();

    platform::ShowMessages(common::LoadSettings());
    m_model.open(selection.file, selection.kind, common::Settings);
    platform::ShowMessages(m_model.messages());
    const bool hidden = m_model.allDistanceHidden();
    // Kinds 1 and 3 hide the all-distance half and both half headings.
    for (QWidget *w : std::initializer_list<QWidget *>{m_label4, m_label5, m_label7, m_track[2], m_track[3]})
        w->setVisible(!hidden);
    for (int i = 60; i < kCells; ++i)
        m_data[i]->setVisible(!hidden);
    refresh();
}

void frmTimeRank::refresh()
{
    for (int i = 0; i < 2; ++i)
        m_header[i]->setText(m_model.header(i));
    for (int i = 0; i < 4; ++i)
        m_track[i]->setText(m_model.track(i));
    for (int i = 0; i < kCells; ++i)
        m_data[i]->setText(m_model.cell(i));
    m_shape->showArea(m_model.payouts());
}

void frmTimeRank::follow(const TimeRankAnalysis &run)
{
    m_model.showRace(run.raceIndex());
    refresh();
}

void frmTimeRank::TRMoveRace(qint16 &direction)
{
    const platform::Messages said = m_model.TRMoveRace(direction);
    platform::ShowMessages(said);
    if (direction != 0)
        refresh();
}

void frmTimeRank::setDrivenByRun(bool driven)
{
    m_driven = driven;
    for (QPushButton *b : m_buttons)
        b->setEnabled(!driven);
}

void frmTimeRank::closeEvent(QCloseEvent *event)
{
    if (m_driven) {
        event->ignore();
        return;
    }
    KorvinWindow::closeEvent(event);
}

void frmTimeRank::cmdTimeRank_Click(int index)
{
    qint16 direction = 0;
    switch (index) {
    case 0:
        direction = -1;
        TRMoveRace(direction);
        break;
    case 1:
        direction = 1;
        TRMoveRace(direction);
        break;
    default: close(); break;
    }
}

} // namespace korvin::timerank::ui
