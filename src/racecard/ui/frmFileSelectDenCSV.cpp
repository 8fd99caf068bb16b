#include "racecard/ui/frmFileSelectDenCSV.h"

#include "platform/dialogs.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmRaceList.h"
#include "common/programfolder.h"
#include "common/settings.h"

namespace korvin::racecard::ui {

frmFileSelectDenCSV::frmFileSelectDenCSV(QWidget *opener, RaceCardSelection &selection)
    : FileSelectWindow(opener, QStringLiteral("frmFileSelectDenCSV"),
                       platform::ui::kTitlePrefix + QStringLiteral("  / 出馬表CSVファイル")),
      m_selection(selection)
{
    platform::ShowMessages(common::LoadSettings());
    openFolder(common::Settings.DenCSV, QStringLiteral("DC*.csv"));
}

QWidget *frmFileSelectDenCSV::fileChosen(const QString &folder, const QString &name)
{
    const QString path = common::withSeparator(folder) + name;
    const RaceTableRead read = ReadRaceTable(path);
    if (!read.opened) {
        platform::dialogs().critical(RaceCardOpenMessage(path, read.error));
        return nullptr;
    }
    if (read.table.raceCount == 0) {
        platform::dialogs().information(RaceCardEmptyMessage(path));
        return nullptr;
    }
    m_selection.csvPath = path;
    m_selection.csvName = name;
    m_selection.table = read.table;
    const QString leftOut = RaceCardLeftOutMessage(read);
    if (!leftOut.isEmpty())
        platform::dialogs().information(leftOut);
    auto *list = new frmRaceList(this, m_selection);
    list->show();
    hide();
    return list;
}

} // namespace korvin::racecard::ui
