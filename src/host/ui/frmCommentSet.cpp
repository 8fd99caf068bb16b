#include "host/ui/frmCommentSet.h"

#include "common/settings.h"
#include "platform/messages.h"
#include "platform/ui/buttonarray.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::host::ui {

frmCommentSet::frmCommentSet(QWidget *opener) : ScriptWindow(opener)
{
    setObjectName(QStringLiteral("frmCommentSet"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / CommentSet"));

    auto *texts = new QVBoxLayout;
    const QStringList captions{
        QStringLiteral("結果コメントに着差＆４角位置グラフを書き込みます．"),
        QStringLiteral("コメントを書き込むレースにカーソルを合わせて下さい．"),
        QStringLiteral("（メインメニュー => 成績"),
        QStringLiteral("       => 開催選択"),
        QStringLiteral("       => 対象レースにカーソルセット）"),
    };
    for (int i = 0; i < captions.size(); ++i) {
        auto *label = new QLabel(captions[i], this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        // The blanks that indent the road through the host's menus must show.
        label->setFont(platform::ui::fixedPitchFont(10));
        texts->addWidget(label);
    }
    m_buttons = platform::ui::ButtonArray(this, QStringLiteral("cmdCommentSet"),
                                          std::array<QString, 2>{QStringLiteral("Close"), QStringLiteral("Run")},
                                          &frmCommentSet::cmdCommentSet_Click);
    arrange(texts, m_buttons);
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
    const auto result =
        runScript([](const RunNumbers &n, platform::Messages &m) { return BuildCommentScript(n, common::Settings, m); },
                  m_buttons[1]);
    if (!result)
        return;
    // Back in front, whether or not the platform could activate this program.
    raise();
    activateWindow();
    platform::Messages messages = result->messages;
    messages.push_back(platform::Information(CommentsDoneMessage(result->comments)));
    if (result->reachedLastRace)
        messages.push_back(
            platform::Information(QStringLiteral("Vantor がその日の最終レースに達したため，そこで終了しました．")));
    platform::ShowMessages(messages);
}

} // namespace korvin::host::ui
