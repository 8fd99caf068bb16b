#include "platform/ui/fileselectwindow.h"

#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "platform/ui/buttonarray.h"
#include "platform/ui/filechooser.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::platform::ui {

FileSelectWindow::FileSelectWindow(QWidget *opener, const QString &objectName, const QString &title)
    : KorvinWindow(opener)
{
    setObjectName(objectName);
    setWindowTitle(title);
    m_chooser = new FileChooser(this);
    const std::array<QString, 2> captions{QStringLiteral("OK"), QStringLiteral("Cancel")};
    m_buttons = ButtonArray(this, QStringLiteral("cmdFileList"), captions, &FileSelectWindow::cmdFileList_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : m_buttons)
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    layout->addLayout(buttons);
    resize(640, 420);
    connect(m_chooser, &FileChooser::fileActivated, this, [this] { cmdFileList_Click(0); });
}

void FileSelectWindow::openFolder(const QString &folder, const QString &pattern)
{
    if (folderExists(folder))
        m_chooser->setRoot(folder);
    else
        dialogs().information(QStringLiteral("Path not found!! ( ") + folder + QStringLiteral(" )"));
    m_chooser->setPattern(pattern);
}

void FileSelectWindow::cmdFileList_Click(int index)
{
    if (index == 1) {
        close();
        return;
    }
    const QString name = m_chooser->selectedFile();
    if (name.isEmpty()) {
        dialogs().information(QStringLiteral("ファイルを選択して下さい．"));
        return;
    }
    if (QWidget *next = fileChosen(m_chooser->currentFolder(), name))
        m_next = next;
}

} // namespace korvin::platform::ui
