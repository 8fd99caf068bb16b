#include "predict/ui/frmBacktest.h"

#include "platform/ui/barchart.h"
#include "common/programfolder.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::predict::ui {

frmBacktest::frmBacktest(QWidget *opener, const BacktestSummary &summary) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmBacktest"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / Backtest"));

    auto *layout = new QVBoxLayout(this);
    const QFont font = platform::ui::fixedPitchFont(11);
    const QStringList lines = BacktestLines(summary);
    for (int i = 0; i < lines.size(); ++i) {
        auto *label = new QLabel(lines[i], this);
        label->setObjectName(QStringLiteral("LabelBacktest_%1").arg(i));
        label->setFont(font);
        label->setTextFormat(Qt::PlainText);
        m_labels << label;
        layout->addWidget(label);
    }
    layout->addSpacing(8);
    m_chart = new platform::ui::BarChartPanel(QStringLiteral("BacktestChart"), this);
    m_chart->setSuggestedPath(common::ProgramFolder() + QStringLiteral("Backtest.png"));
    m_chart->setData(BacktestChart(summary));
    layout->addWidget(m_chart, 1);

    m_close = platform::ui::addCloseRow(this, layout);
}

} // namespace korvin::predict::ui
