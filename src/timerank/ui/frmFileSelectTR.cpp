#include "timerank/ui/frmFileSelectTR.h"

#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "platform/ui/filechooser.h"
#include "shell/settings.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmRaceListTR.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::timerank::ui {

frmFileSelectTR::frmFileSelectTR(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmFileSelectTR"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / タイムランクファイル"));

    m_chooser = new platform::ui::FileChooser(this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<QString, 2> captions{QStringLiteral("OK"), QStringLiteral("Cancel")};
    for (int i = 0; i < 2; ++i) {
        m_buttons[i] = new QPushButton(captions[i], this);
        m_buttons[i]->setObjectName(QStringLiteral("cmdFileList_%1").arg(i));
        buttons->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { cmdFileList_Click(i); });
    }
    layout->addLayout(buttons);
    connect(m_chooser, &platform::ui::FileChooser::fileActivated, this, [this] { cmdFileList_Click(0); });
    resize(640, 420);

    shell::LoadSettings();
    const QString folder = shell::Settings.TimeRank;
    if (!platform::folderExists(folder)) {
        platform::dialogs().information(QStringLiteral("Path not found!! ( %1 )").arg(folder));
        return;
    }
    m_chooser->setRoot(folder);
    if (!KindPattern(TimeRankType).isEmpty())
        m_chooser->setPattern(KindPattern(TimeRankType));
}

void frmFileSelectTR::cmdFileList_Click(int index)
{
    if (index == 1) {
        close();
        return;
    }
    const QString name = m_chooser->selectedFile();
    if (name.isEmpty()) {
        platform::dialogs().information(QStringLiteral("ファイルを選択して下さい．"));
        return;
    }
    TimeRankFile = QDir(m_chooser->currentFolder()).filePath(name);
    // The race list leads back to the export window, as this window would.
    auto *list = new frmRaceListTR(opener());
    m_raceList = list;
    list->show();
    closeQuietly();
}

} // namespace korvin::timerank::ui
