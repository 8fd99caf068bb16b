#include "timerank/ui/frmFileSelectTR.h"

#include "common/settings.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmRaceListTR.h"

#include <QDir>

namespace korvin::timerank::ui {

frmFileSelectTR::frmFileSelectTR(QWidget *opener, TimeRankSelection &selection)
    : FileSelectWindow(opener, QStringLiteral("frmFileSelectTR"),
                       platform::ui::kTitlePrefix + QStringLiteral("  / タイムランクファイル")),
      m_selection(selection)
{
    platform::ShowMessages(common::LoadSettings());
    openFolder(common::Settings.TimeRank, KindPattern(m_selection.kind));
}

QWidget *frmFileSelectTR::fileChosen(const QString &folder, const QString &name)
{
    m_selection.file = QDir(folder).filePath(name);
    // The race list leads back to the export window, as this window would.
    auto *list = new frmRaceListTR(opener(), m_selection);
    list->show();
    closeQuietly();
    return list;
}

} // namespace korvin::timerank::ui
