#pragma once
#include "platform/ui/window.h"
#include "racecard/datalist.h"

#include <QColor>
#include <QPointer>
#include <array>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace korvin::racing::ui {
class PayoutPanel;
}

namespace korvin::racecard::ui {

// The colour a background rule stands for.
QColor BackgroundColour(CellColour c);

// One race of the race card: a row per runner, the ZI switch, the payouts and
// the mark boxes. "Back" and "Next" move over the race list's buttons.
class frmDataList : public platform::ui::KorvinWindow {
    Q_OBJECT
public:
    // Loads the selection's race; the caption is the race button's.
    frmDataList(QWidget *opener, RaceCardSelection &selection, const QString &caption);
    // Shows a race of the selection loaded elsewhere (the verification's),
    // titled as loaded.
    frmDataList(QWidget *opener, RaceCardSelection &selection, const DataListModel &model);

    QLabel *LabelRaceName() const { return m_raceName; }
    // The label of a cell (not the mark column), or the mark box.
    QLabel *cell(int row, Column c) const { return m_cells[row][c]; }
    QLineEdit *txtMark(int row) const { return m_marks.at(row); }
    QCheckBox *CheckZI() const { return m_checkZI; }
    QLabel *LabelKT() const { return m_kt; }
    QLabel *LabelHH() const { return m_hh; }
    QPushButton *cmdDataList(int i) const { return m_buttons.at(i); }
    const DataListModel &model() const { return m_model; }
    QWidget *markingWindow() const { return m_marking; }

    void cmdDataList_Click(int index);
    void CheckZI_Click();
    // Closes a list nobody has typed in (the verification report's): the mark
    // file is left as it is and the race list is not shown.
    void closeUnchanged();
    // Loads the selection's race with LabelRaceName as its caption.
    void LoadDataList();

protected:
    // Closing by the window frame saves the marks too.
    void closeEvent(QCloseEvent *event) override;

private:
    void build(const QString &caption);
    // Paints m_model and says what its load has to say.
    void showModel();
    bool saveMarks();
    void moveRace(int direction);
    void showZI();
    void paint(QWidget *w, CellColour c);

    RaceCardSelection &m_selection;
    QLabel *m_raceName;
    std::array<std::array<QLabel *, kColumnCount>, kDataRows> m_cells{};
    std::array<QLineEdit *, kDataRows> m_marks{};
    QCheckBox *m_checkZI;
    QLabel *m_kt;
    QLabel *m_hh;
    racing::ui::PayoutPanel *m_payoutFrame;
    std::array<QPushButton *, 4> m_buttons{};
    DataListModel m_model;
    QPointer<QWidget> m_marking;
    bool m_marksSaved = false; // saved by the button that closes the window
};

} // namespace korvin::racecard::ui
