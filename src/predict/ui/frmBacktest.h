#pragma once
#include "predict/backtest.h"
#include "platform/ui/window.h"

#include <QList>

class QLabel;
class QPushButton;

namespace korvin::platform::ui {
class BarChartPanel;
}

namespace korvin::predict::ui {

// What the bets of a batch prediction run returned, per meeting block and in
// total, as fixed-pitch lines and as a bar chart. Shown after the run's
// completion message when payouts are on and found.
class frmBacktest : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    frmBacktest(QWidget *opener, const BacktestSummary &summary);

    // Heading, one line per block, the total.
    const QList<QLabel *> &LabelBacktest() const { return m_labels; }
    platform::ui::BarChartPanel *chart() const { return m_chart; }
    QPushButton *cmdClose() const { return m_close; }

private:
    QList<QLabel *> m_labels;
    platform::ui::BarChartPanel *m_chart = nullptr;
    QPushButton *m_close = nullptr;
};

} // namespace korvin::predict::ui
