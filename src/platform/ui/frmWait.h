#pragma once
#include <QWidget>

class QLabel;
class QProgressBar;

namespace korvin::platform::ui {

// "Just a moment": shown by long registrations, which set the bar themselves.
class frmWait : public QWidget {
    Q_OBJECT
public:
    explicit frmWait(QWidget *parent = nullptr);
    QLabel *Label1() const { return m_label; }
    QProgressBar *ProgressBar() const { return m_bar; }

private:
    QLabel *m_label;
    QProgressBar *m_bar;
};

} // namespace korvin::platform::ui
