#pragma once
// Top-level windows of the program. Only one function window is in use at a
// time: a window that leads to another hides itself, and closing a window
// (by its button or its frame) shows the window that led to it again.
#include <QFont>
#include <QPointer>
#include <QWidget>

class QBoxLayout;
class QPushButton;

namespace korvin::platform::ui {

inline const QString kTitlePrefix = QStringLiteral("<< Korvin >> Tipwise for Vantor");

class KorvinWindow : public QWidget {
    Q_OBJECT
public:
    explicit KorvinWindow(QWidget *opener = nullptr);
    // The window shown again when this one closes (may be null).
    QWidget *opener() const { return m_opener; }
    void setOpener(QWidget *w) { m_opener = w; }
    // Close without showing the opener (a window that hands over to another).
    void closeQuietly();

signals:
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QPointer<QWidget> m_opener;
    bool m_quiet = false;
};

// Keeps where the user left a top-level window (by its object name) and puts
// it back there whenever a window of that name is shown again, a new one
// included: a window that comes back is found where it was, not wherever the
// window manager would place it. KorvinWindow does this for itself.
void rememberPlace(QWidget *window);

// A "Close" button (objectName "cmdClose") that closes window, placed at the
// right end of a new row at the bottom of layout.
QPushButton *addCloseRow(QWidget *window, QBoxLayout *layout);

// "ＭＳ ゴシック" at the given point size, falling back to any fixed-pitch
// Japanese font (IPAGothic on Debian).
QFont fixedPitchFont(int pointSize = 10);

} // namespace korvin::platform::ui
