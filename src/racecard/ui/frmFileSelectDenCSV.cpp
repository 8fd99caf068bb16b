#include "racecard/ui/frmFileSelectDenCSV.h"

#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "platform/ui/filechooser.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmRaceList.h"
#include "shell/programfolder.h"
#include "shell/settings.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::racecard::ui {

frmFileSelectDenCSV::frmFileSelectDenCSV(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmFileSelectDenCSV"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / 出馬表CSVファイル"));

    m_chooser = new platform::ui::FileChooser(this);
    m_buttons[0] = new QPushButton(QStringLiteral("OK"), this);
    m_buttons[1] = new QPushButton(QStringLiteral("Cancel"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (int i = 0; i < 2; ++i) {
        m_buttons[i]->setObjectName(QStringLiteral("cmdFileList_%1").arg(i));
        buttons->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { cmdFileList_Click(i); });
    }
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_chooser, 1);
    layout->addLayout(buttons);
    resize(620, 400);
    connect(m_chooser, &platform::ui::FileChooser::fileActivated, this, [this] { cmdFileList_Click(0); });

    shell::LoadSettings();
    const QString folder = shell::Settings.DenCSV;
    if (platform::folderExists(folder))
        m_chooser->setRoot(folder);
    else
        platform::dialogs().information(QStringLiteral("Path not found!! ( ") + folder + QStringLiteral(" )"));
    m_chooser->setPattern(QStringLiteral("DC*.csv"));
}

void frmFileSelectDenCSV::cmdFileList_Click(int index)
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
    const QString path = shell::withSeparator(m_chooser->currentFolder()) + name;
    const RaceTableRead read = ReadRaceTable(path);
    if (!read.opened) {
        platform::dialogs().critical(RaceCardOpenMessage(path, read.error));
        return;
    }
    if (read.table.raceCount == 0) {
        platform::dialogs().information(RaceCardEmptyMessage(path));
        return;
    }
    ChosenCsvPath = path;
    ChosenCsvName = name;
    RaceTables = read.table;
    const QString leftOut = RaceCardLeftOutMessage(read);
    if (!leftOut.isEmpty())
        platform::dialogs().information(leftOut);
    auto *list = new frmRaceList(this);
    m_raceList = list;
    list->show();
    hide();
}

} // namespace korvin::racecard::ui
