#include "host/ui/frmTimeRankText.h"

#include "predict/ui/frmTimeRankPara.h"
#include "common/settings.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmFileSelectTR.h"
#include "timerank/ui/frmRaceListTR.h"
#include "platform/messages.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvin::host::ui {

frmTimeRankText::frmTimeRankText(QWidget *opener) : KorvinWindow(opener)
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

    m_boxes = RunBoxControls::create(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LabelStatus"));

    auto *buttons = new QVBoxLayout;
    const std::array<QString, 4> captions{QStringLiteral("Close"), QStringLiteral("File"), QStringLiteral("Run"),
                                          QStringLiteral("予想パラメータ設定")};
    for (int i = 0; i < 4; ++i) {
        m_buttons[i] = new QPushButton(captions[i], this);
        m_buttons[i]->setObjectName(QStringLiteral("cmdTimeRankText_%1").arg(i));
        m_buttons[i]->setMinimumHeight(32);
        buttons->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { cmdTimeRankText_Click(i); });
    }
    buttons->addStretch();

    auto *left = new QVBoxLayout;
    left->addWidget(frame);
    left->addLayout(m_boxes.layout);
    left->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_status);
    // Wide enough for the title and for the progress of a run.
    setMinimumWidth(480);

    common::LoadSettings();
    m_boxes.showSettings();
}

void frmTimeRankText::cmdTimeRankText_Click(int index)
{
    for (int i = 0; i < 6; ++i) {
        if (m_options[i]->isChecked()) {
            timerank::TimeRankType = qint16(i);
            break;
        }
    }
    switch (index) {
    case 0:
        close();
        break;
    case 1: {
        auto *w = new timerank::ui::frmFileSelectTR(this);
        m_opened = w;
        w->show();
        hide();
        break;
    }
    case 3: {
        auto *w = new predict::ui::frmTimeRankPara(this);
        m_opened = w;
        w->show();
        hide();
        break;
    }
    case 2:
        ExportTimeRankText();
        break;
    default:
        break;
    }
}

void frmTimeRankText::ExportTimeRankText()
{
    if (m_running)
        return;
    const int kind = timerank::TimeRankType;
    common::LoadSettings();
    platform::Messages messages;
    const auto numbers = ConvertRunBoxes(m_boxes.texts(), messages);
    const auto script = numbers ? BuildExportScript(*numbers, kind, common::Settings, messages) : std::nullopt;
    if (!script) {
        platform::ShowMessages(messages);
        return;
    }
    m_running = true;
    const auto result = RunFromWindow(*script, m_buttons[2], m_status);
    m_running = false;
    if (!result)
        return;
    messages = result->messages;
    const bool written = result->split && result->split->written();
    if (written) {
        timerank::TimeRankFile = result->split->path;
        messages.push_back(platform::Information(SplitDoneMessage(*result->split)));
    }
    platform::ShowMessages(messages);
    if (!written)
        return;
    auto *w = new timerank::ui::frmRaceListTR(this);
    m_opened = w;
    w->show();
    hide();
}

void frmTimeRankText::closeEvent(QCloseEvent *event)
{
    // The window must outlive its run: closing deletes it.
    if (m_running) {
        event->ignore();
        return;
    }
    KorvinWindow::closeEvent(event);
}

} // namespace korvin::host::ui
