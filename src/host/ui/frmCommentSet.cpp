#include "host/ui/frmCommentSet.h"

#include "common/settings.h"
#include "platform/messages.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::host::ui {

frmCommentSet::frmCommentSet(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmCommentSet"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / CommentSet"));

    auto *texts = new QVBoxLayout;
    const std::array<QString, 5> captions{
        QStringLiteral("結果コメントに着差＆４角位置グラフを書き込みます．"),
        QStringLiteral("コメントを書き込むレースにカーソルを合わせて下さい．"),
        QStringLiteral("（メインメニュー => 成績"),
        QStringLiteral("       => 開催選択"),
        QStringLiteral("       => 対象レースにカーソルセット）"),
    };
    for (int i = 0; i < 5; ++i) {
        auto *label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        // The blanks that indent the road through the host's menus must show.
        label->setFont(platform::ui::fixedPitchFont(10));
        texts->addWidget(label);
    }

    m_boxes = RunBoxControls::create(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LabelStatus"));

    auto *buttons = new QVBoxLayout;
    const std::array<QString, 2> buttonCaptions{QStringLiteral("Close"), QStringLiteral("Run")};
    for (int i = 0; i < 2; ++i) {
        m_buttons[i] = new QPushButton(buttonCaptions[i], this);
        m_buttons[i]->setObjectName(QStringLiteral("cmdCommentSet_%1").arg(i));
        m_buttons[i]->setMinimumHeight(32);
        buttons->addWidget(m_buttons[i]);
        connect(m_buttons[i], &QPushButton::clicked, this, [this, i] { cmdCommentSet_Click(i); });
    }
    buttons->addStretch();

    auto *left = new QVBoxLayout;
    left->addLayout(texts);
    left->addSpacing(12);
    left->addLayout(m_boxes.layout);
    left->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(buttons);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_status);

    common::LoadSettings();
    m_boxes.showSettings();
}

void frmCommentSet::cmdCommentSet_Click(int index)
{
    if (index == 0)
        close();
    else if (index == 1)
        WriteResultComments();
}

void frmCommentSet::WriteResultComments()
{
    if (m_running)
        return;
    common::LoadSettings();
    platform::Messages messages;
    const auto numbers = ConvertRunBoxes(m_boxes.texts(), messages);
    const auto script = numbers ? BuildCommentScript(*numbers, common::Settings, messages) : std::nullopt;
    if (!script) {
        platform::ShowMessages(messages);
        return;
    }
    m_running = true;
    const auto result = RunFromWindow(*script, m_buttons[1], m_status);
    m_running = false;
    if (!result)
        return;
    // Back in front, whether or not the platform could activate this program.
    raise();
    activateWindow();
    messages = result->messages;
    messages.push_back(platform::Information(CommentsDoneMessage(result->comments)));
    platform::ShowMessages(messages);
}

void frmCommentSet::closeEvent(QCloseEvent *event)
{
    // The window must outlive its run: closing deletes it.
    if (m_running) {
        event->ignore();
        return;
    }
    KorvinWindow::closeEvent(event);
}

} // namespace korvin::host::ui
