#include "predict/ui/frmAnalyzReport.h"

#include "platform/dialogs.h"
#include "platform/events.h"
#include "racecard/datalist.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"

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
    StartReport(VerifiedRaceCount, VerifyCounters, platform::dialogs());
    CountRaceButtons(
        racecard::CurrentRaceButtons,
        [&](int index, const racecard::RaceButton &button) {
            racecard::CurrentRaceKey = button.key;
            const VerifyRows rows = loader(index, button);
            platform::DoEvents();
            return rows;
        },
        VerifiedRaceCount, VerifyCounters);
    const QStringList lines = ReportLines(VerifiedRaceCount, VerifyCounters);
    for (int i = 0; i < kReportLines; ++i)
        m_labels[size_t(i)]->setText(lines.value(i));
}

VerifyRows frmAnalyzReport::LoadInDataList(int, const racecard::RaceButton &button)
{
    racecard::CurrentRaceKey = button.key;
    // The window fills itself for the current race as it loads; what is
    // counted is the model behind what it paints.
    auto *list = new racecard::ui::frmDataList(nullptr, button.caption);
    list->show();
    platform::DoEvents();
    const VerifyRows rows = VerifyRowsOf(list->model());
    list->closeUnchanged();
    return rows;
}

} // namespace korvin::predict::ui
