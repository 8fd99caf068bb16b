#include "predict/ui/frmAnalyzReport.h"

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/ui/barchart.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"
#include "common/programfolder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::predict::ui {

frmAnalyzReport::frmAnalyzReport(QWidget *opener, RaceLoader loader) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmAnalyzReport"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / Report"));

    auto *layout = new QVBoxLayout(this);
    auto *columns = new QHBoxLayout;
    auto *lines = new QVBoxLayout;
    const QFont font = platform::ui::fixedPitchFont(11);
    auto fixedLabel = [&](const QString &name) {
        auto *label = new QLabel(this);
        label->setObjectName(name);
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        // An empty line keeps its height so the blocks stay apart.
        label->setMinimumHeight(label->fontMetrics().height());
        lines->addWidget(label);
        return label;
    };
    for (int i = 0; i < kReportLines; ++i)
        m_labels[size_t(i)] = fixedLabel(QStringLiteral("LabelAnalyz_%1").arg(i));
    lines->addSpacing(12);
    for (int i = 0; i < kReturnLines; ++i)
        m_returnLabels[size_t(i)] = fixedLabel(QStringLiteral("LabelReturns_%1").arg(i));
    lines->addStretch();
    columns->addLayout(lines);

    auto *charts = new QVBoxLayout;
    m_hitChart = new platform::ui::BarChartPanel(QStringLiteral("HitRateChart"), this);
    m_hitChart->setSuggestedPath(common::ProgramFolder() + QStringLiteral("HitRates.png"));
    m_returnChart = new platform::ui::BarChartPanel(QStringLiteral("ReturnRateChart"), this);
    m_returnChart->setSuggestedPath(common::ProgramFolder() + QStringLiteral("ReturnRates.png"));
    charts->addWidget(m_hitChart);
    charts->addWidget(m_returnChart);
    columns->addSpacing(12);
    columns->addLayout(charts, 1);
    layout->addLayout(columns, 1);

    layout->addSpacing(8);
    m_close = platform::ui::addCloseRow(this, layout);

    Report(loader ? loader : RaceLoader(&frmAnalyzReport::LoadInDataList));
}

void frmAnalyzReport::Report(const RaceLoader &loader)
{
    StartReport(VerifiedRaceCount, VerifyCounters, VerifyReturns, platform::dialogs());
    CountRaceButtons(
        racecard::CurrentRaceButtons,
        [&](int index, const racecard::RaceButton &button) {
            racecard::CurrentRaceKey = button.key;
            const VerifyRace race = loader(index, button);
            platform::DoEvents();
            return race;
        },
        VerifiedRaceCount, VerifyCounters, &VerifyReturns);
    const QStringList lines = ReportLines(VerifiedRaceCount, VerifyCounters);
    for (int i = 0; i < kReportLines; ++i)
        m_labels[size_t(i)]->setText(lines.value(i));
    const QStringList returns = ReturnLines(VerifyReturns);
    for (int i = 0; i < kReturnLines; ++i)
        m_returnLabels[size_t(i)]->setText(returns.value(i));
    m_hitChart->setData(HitRateChart(VerifiedRaceCount, VerifyCounters));
    m_returnChart->setData(ReturnRateChart(VerifyReturns));
}

VerifyRace frmAnalyzReport::LoadInDataList(int, const racecard::RaceButton &button)
{
    racecard::CurrentRaceKey = button.key;
    // The window fills itself for the current race as it loads; what is
    // counted is the model behind what it paints.
    auto *list = new racecard::ui::frmDataList(nullptr, button.caption);
    list->show();
    platform::DoEvents();
    const VerifyRace race = VerifyRaceOf(list->model());
    list->closeUnchanged();
    return race;
}

} // namespace korvin::predict::ui
