#include "host/ui/frmTimeRankText.h"

#include "common/settings.h"
#include "platform/messages.h"
#include "platform/ui/buttonarray.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmFileSelectTR.h"
#include "timerank/ui/frmRaceListTR.h"

#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvin::host::ui {

std::function<QWidget *(QWidget *)> &frmTimeRankText::parameterWindowFactory()
{
    static std::function<QWidget *(QWidget *)> factory;
    return factory;
}

frmTimeRankText::frmTimeRankText(QWidget *opener, timerank::TimeRankSelection &selection)
    : ScriptWindow(opener), m_selection(selection)
{
    setObjectName(QStringLiteral("frmTimeRankText"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / TimeRank"));

    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("FrameType"));
    auto *types = new QVBoxLayout(frame);
    for (int i = 0; i < 6; ++i) {
        m_options[i] = new QRadioButton(timerank::KindCaption(i), frame);
        m_options[i]->setObjectName(QStringLiteral("OptionType_%1").arg(i));
        types->addWidget(m_options[i]);
    }
    m_options[0]->setChecked(true);

    auto *above = new QVBoxLayout;
    above->addWidget(frame);
    m_buttons =
        platform::ui::ButtonArray(this, QStringLiteral("cmdTimeRankText"),
                                  std::array<QString, 4>{QStringLiteral("Close"), QStringLiteral("File"),
                                                         QStringLiteral("Run"), QStringLiteral("予想パラメータ設定")},
                                  &frmTimeRankText::cmdTimeRankText_Click);
    arrange(above, m_buttons);
    m_buttons[3]->setEnabled(bool(parameterWindowFactory()));
    // Wide enough for the title and for the progress of a run.
    setMinimumWidth(480);
}

void frmTimeRankText::cmdTimeRankText_Click(int index)
{
    for (int i = 0; i < 6; ++i) {
        if (m_options[i]->isChecked()) {
            m_selection.kind = qint16(i);
            break;
        }
    }
    switch (index) {
    case 0: close(); break;
    case 1: {
        auto *w = new timerank::ui::frmFileSelectTR(this, m_selection);
        m_opened = w;
        w->show();
        hide();
        break;
    }
    case 2: ExportTimeRankText(); break;
    case 3: {
        QWidget *w = parameterWindowFactory() ? parameterWindowFactory()(this) : nullptr;
        if (!w)
            break;
        m_opened = w;
        w->show();
        hide();
        break;
    }
    default: break;
    }
}

void frmTimeRankText::ExportTimeRankText()
{
    const int kind = m_selection.kind;
    const auto result = runScript(
        [kind](const RunNumbers &n, platform::Messages &m) { return BuildExportScript(n, kind, common::Settings, m); },
        m_buttons[2]);
    if (!result)
        return;
    platform::Messages messages = result->messages;
    const bool written = result->split && result->split->written();
    if (written) {
        m_selection.file = result->split->path;
        messages.push_back(platform::Information(SplitDoneMessage(*result->split)));
    }
    platform::ShowMessages(messages);
    if (!written)
        return;
    auto *w = new timerank::ui::frmRaceListTR(this, m_selection);
    m_opened = w;
    w->show();
    hide();
}

} // namespace korvin::host::ui
