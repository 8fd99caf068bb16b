#include "predict/ui/frmAnalyzReport.h"

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/ui/barchart.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"
#include "common/programfolder.h"
#include "common/settings.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::predict::ui {

frmAnalyzReport::frmAnalyzReport(QWidget *opener, racecard::RaceCardSelection &selection, VerifyTotals &totals)
    : KorvinWindow(opener)
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

    Report(selection, totals);
}

void frmAnalyzReport::Report(racecard::RaceCardSelection &selection, VerifyTotals &totals)
{
    StartReport(totals, platform::dialogs());
    // The races of the chosen file as the data list loads them; the settings
    // are those the file selection read when it opened.
    racecard::RaceContext context;
    context.csvPath = selection.csvPath;
    context.csvName = selection.csvName;
    context.settings = common::Settings;
    VerifyCourse(selection.table, selection.course, context, totals,
                 [&selection](const racecard::RaceButton &race, const racecard::DataListModel &model) {
                     // The data list shows each race as it is counted, and closes again.
                     selection.race = race.race;
                     auto *list = new racecard::ui::frmDataList(nullptr, selection, model);
                     list->show();
                     platform::DoEvents();
                     list->closeUnchanged();
                     platform::DoEvents();
                 });
    const QStringList lines = ReportLines(totals.raceCount, totals.counters);
    for (int i = 0; i < kReportLines; ++i)
        m_labels[size_t(i)]->setText(lines.value(i));
    const QStringList returns = ReturnLines(totals.returns);
    for (int i = 0; i < kReturnLines; ++i)
        m_returnLabels[size_t(i)]->setText(returns.value(i));
    m_hitChart->setData(HitRateChart(totals.raceCount, totals.counters));
    m_returnChart->setData(ReturnRateChart(totals.returns));
}

} // namespace korvin::predict::ui
