#pragma once
#include "predict/zorb.h"

#include <QDialog>
#include <QPointer>
#include <array>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace korvin::timerank::ui {
class frmRaceListTR;
}

namespace korvin::predict::ui {

// Settings of the batch prediction, opened modally from the time-rank race
// list. OK runs the prediction over the races the list offers, the analysis
// window showing each race as the run reaches it.
class frmZorb : public QDialog {
    Q_OBJECT
public:
    explicit frmZorb(timerank::ui::frmRaceListTR *raceList);

    ZorbSettings settings() const;
    void cmdZorb_Click(int index);
    // Races the race list offered to the last run.
    int lastRaceCount() const { return m_lastCount; }
    // The backtest window the last run opened (none when payouts are off or
    // not found).
    QWidget *backtestWindow() const { return m_backtest; }

    QCheckBox *CheckTrack(int i) const { return m_track[i]; }
    QCheckBox *CheckClass(int i) const { return m_class[i]; }
    QLineEdit *TextZorbVer() const { return m_code; }
    QRadioButton *OptionBet(int i) const { return m_bet[i]; }

private:
    void RunBatchPrediction();

    timerank::ui::frmRaceListTR *m_list;
    std::array<QCheckBox *, 3> m_track{};
    std::array<QCheckBox *, 7> m_class{};
    QLineEdit *m_code = nullptr;
    std::array<QRadioButton *, 2> m_bet{};
    std::array<QPushButton *, 2> m_buttons{};
    int m_lastCount = 0;
    QPointer<QWidget> m_backtest;
};

} // namespace korvin::predict::ui
