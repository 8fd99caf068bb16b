#include "predict/ui/frmAnalyzReport.h"

#include "platform/events.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "shell/settings.h"

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
    const QFont font = platform::ui::fixedPitchFont(11);
    for (int i = 0; i < kReportLines; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("LabelAnalyz_%1").arg(i));
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        // An empty line keeps its height so the four blocks stay apart.
        label->setMinimumHeight(label->fontMetrics().height());
        m_labels[size_t(i)] = label;
        layout->addWidget(label);
    }
    m_close = new QPushButton(QStringLiteral("Close"), this);
    m_close->setObjectName(QStringLiteral("cmdClose"));
    m_close->setMinimumWidth(100);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_close);
    layout->addSpacing(8);
    layout->addLayout(buttons);

    Report(loader ? loader : RaceLoader(&frmAnalyzReport::LoadInDataList));
}

void frmAnalyzReport::Report(const RaceLoader &loader)
{
    StartReport();
    CountRaceButtons(racecard::CurrentRaceButtons, [&](int index, const racecard::RaceButton &button) {
        racecard::CurrentRaceKey = button.key;
        VerifyRows rows = loader(index, button);
        platform::DoEvents();
        return rows;
    });
    const QStringList lines = ReportLines();
    for (int i = 0; i < kReportLines; ++i)
        m_labels[size_t(i)]->setText(lines.value(i));
}

VerifyRows frmAnalyzReport::LoadInDataList(int, const racecard::RaceButton &button)
{
    shell::LoadSettings();
    racecard::RaceContext context;
    context.csvPath = racecard::ChosenCsvPath;
    context.csvName = racecard::ChosenCsvName;
    context.raceKey = button.key;
    context.caption = button.caption;
    context.settings = shell::Settings;
    return VerifyRowsOf(racecard::LoadDataList(context));
}

} // namespace korvin::predict::ui
