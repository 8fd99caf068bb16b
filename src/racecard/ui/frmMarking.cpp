#include "racecard/ui/frmMarking.h"

#include "platform/ui/buttonarray.h"
#include "platform/ui/selectonfocus.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvin::racecard::ui {

frmMarking::frmMarking(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmMarking"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / Marking"));

    auto *condition = new QGroupBox(QStringLiteral("条件"), this);
    condition->setObjectName(QStringLiteral("FrameCondition"));
    auto *cl = new QGridLayout(condition);
    const QString conditions[8] = {QStringLiteral("Ｍａｘ"), QStringLiteral("Ｍｉｎ"), QStringLiteral("Ａｖｅ"),
                                   QStringLiteral("芝短"),   QStringLiteral("芝中"),   QStringLiteral("ダ短"),
                                   QStringLiteral("ダ中"),   QStringLiteral("ＺＩ")};
    for (int i = 0; i < 8; ++i) {
        m_condition[i] = new QRadioButton(conditions[i], condition);
        m_condition[i]->setObjectName(QStringLiteral("OptionCondition_%1").arg(i));
        cl->addWidget(m_condition[i], i / 4, i % 4);
    }

    auto *scope = new QGroupBox(QStringLiteral("対象"), this);
    scope->setObjectName(QStringLiteral("FrameScope"));
    auto *sl = new QHBoxLayout(scope);
    const QString scopes[3] = {QStringLiteral("このレース"), QStringLiteral("全レース"),
                               QStringLiteral("全場全レース")};
    for (int i = 0; i < 3; ++i) {
        m_scope[i] = new QRadioButton(scopes[i], scope);
        m_scope[i]->setObjectName(QStringLiteral("OptionScope_%1").arg(i));
        sl->addWidget(m_scope[i]);
    }

    auto *mark = new QGroupBox(QStringLiteral("馬印"), this);
    mark->setObjectName(QStringLiteral("FrameMark"));
    auto *ml = new QGridLayout(mark);
    const QString ranks[6] = {QStringLiteral("１位"), QStringLiteral("２位"), QStringLiteral("３位"),
                              QStringLiteral("４位"), QStringLiteral("５位"), QStringLiteral("６位")};
    for (int i = 0; i < 6; ++i) {
        m_labels[i] = new QLabel(ranks[i], mark);
        m_labels[i]->setObjectName(QStringLiteral("LabelMark_%1").arg(i));
        m_marks[i] = new QLineEdit(mark);
        m_marks[i]->setObjectName(QStringLiteral("txtMark_%1").arg(i));
        m_marks[i]->setFixedWidth(40);
        platform::ui::selectAllOnFocus(m_marks[i]);
        ml->addWidget(m_labels[i], 0, i);
        ml->addWidget(m_marks[i], 1, i);
    }

    const std::array<QString, 6> captions{QStringLiteral("Close"),
                                          QStringLiteral("OK"),
                                          QStringLiteral("このﾚｰｽの馬印ｸﾘｱ"),
                                          QStringLiteral("全ﾚｰｽの馬印ｸﾘｱ"),
                                          QStringLiteral("全場全ﾚｰｽの馬印ｸﾘｱ"),
                                          QStringLiteral("全ての馬印ｸﾘｱ")};
    m_buttons = platform::ui::ButtonArray(this, QStringLiteral("cmdMarking"), captions, &frmMarking::cmdMarking_Click);
    auto *buttons = new QGridLayout;
    for (int i = 0; i < 6; ++i)
        buttons->addWidget(m_buttons[i], i / 2, i % 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(condition);
    layout->addWidget(scope);
    layout->addWidget(mark);
    layout->addLayout(buttons);
}

void frmMarking::cmdMarking_Click(int index)
{
    // The rank marking and the clearing buttons are offered but not built yet.
    if (index == 0)
        close();
}

} // namespace korvin::racecard::ui
