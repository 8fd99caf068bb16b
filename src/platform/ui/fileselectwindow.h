#pragma once
// A window that chooses one file of a settings folder: the file chooser rooted
// at the folder, "OK" (or a double-click) and "Cancel". The subclass says what
// a chosen file leads to.
#include "platform/ui/window.h"

#include <QPointer>
#include <array>

class QPushButton;

namespace korvin::platform::ui {

class FileChooser;

class FileSelectWindow : public KorvinWindow {
    Q_OBJECT
public:
    FileChooser *chooser() const { return m_chooser; }
    QPushButton *cmdFileList(int i) const { return m_buttons.at(i); }
    // The window opened by the chosen file (null before, or when it has closed).
    QWidget *raceList() const { return m_next; }

    // 0 "OK": the selected file (message when none); 1 "Cancel": close.
    void cmdFileList_Click(int index);

protected:
    FileSelectWindow(QWidget *opener, const QString &objectName, const QString &title);
    // Roots the chooser at folder with the pattern, or says "Path not found!!"
    // when the folder does not exist.
    void openFolder(const QString &folder, const QString &pattern);
    // Acts on the chosen file; returns the window it opened (null to stay).
    virtual QWidget *fileChosen(const QString &folder, const QString &name) = 0;

private:
    FileChooser *m_chooser;
    std::array<QPushButton *, 2> m_buttons{};
    QPointer<QWidget> m_next;
};

} // namespace korvin::platform::ui
