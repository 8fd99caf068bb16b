#pragma once
// The payout area shared by the data list and the time-rank analysis window:
// the frame ShapeSei1 with the row titles LabelSei1(0..4) and the entry labels
// LabelTan, LabelFuku, LabelWakuRen, LabelUma, LabelWide.
#include "racing/payouts.h"

#include <QFrame>
#include <array>

class QGridLayout;
class QLabel;

namespace korvin::racing::ui {

class PayoutPanel : public QFrame {
    Q_OBJECT
public:
    // Stacked: the entries of a kind stand below each other (a tall, narrow
    // panel); otherwise beside each other, one row per kind.
    enum class Layout { Stacked, Rows };
    explicit PayoutPanel(Layout layout, QWidget *parent = nullptr);

    // Shows the area as the model says; hidden place rows give up their height.
    void showArea(const PayoutArea &area);

    QLabel *title(int i) const { return m_titles.at(i); }
    QLabel *tan(int i) const { return m_tan.at(i); }
    QLabel *fuku(int i) const { return m_fuku.at(i); }
    // Place rows the frame is currently sized for (3, 4 or 5).
    int placeRows() const { return m_placeRows; }

private:
    std::array<QLabel *, 5> m_titles{};
    std::array<QLabel *, 3> m_tan{};
    std::array<QLabel *, 5> m_fuku{};
    std::array<QLabel *, 3> m_wakuRen{};
    std::array<QLabel *, 3> m_uma{};
    std::array<QLabel *, 5> m_wide{};
    int m_placeRows = 5;
};

} // namespace korvin::racing::ui
