#include "predict/ui/frmTimeRankPara.h"

#include "platform/dialogs.h"
#include "platform/events.h"
#include "platform/ui/buttonarray.h"
#include "platform/ui/selectonfocus.h"
#include "platform/ui/frmWait.h"
#include "timerank/timerankfile.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::predict::ui {

namespace {
const std::array<QString, 4> kBlocks{QStringLiteral("同トラック距離±２００ｍ"), QStringLiteral("同トラック全距離"),
                                     QStringLiteral("芝・ダート±２００ｍ"), QStringLiteral("芝・ダート全距離")};
} // namespace

frmTimeRankPara::frmTimeRankPara(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmTimeRankPara"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral(" / TimeRank Paramator"));

    auto *selectors = new QHBoxLayout;
    const std::array<QString, 4> titles{QStringLiteral("場所"), QStringLiteral("クラス"), QStringLiteral("トラック"),
                                        QStringLiteral("距離")};
    const std::array<QString, 4> comboNames{QStringLiteral("ComboPlace"), QStringLiteral("ComboClass"),
                                            QStringLiteral("ComboTrack"), QStringLiteral("ComboDistance")};
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(titles[i], this);
        label->setObjectName(QStringLiteral("Label%1").arg(39 + i));
        m_combos[i] = new QComboBox(this);
        m_combos[i]->setObjectName(comboNames[i]);
        selectors->addWidget(label);
        selectors->addWidget(m_combos[i]);
    }
    selectors->addStretch();
    for (const QString &s : ParaPlaceNames())
        m_combos[0]->addItem(s);
    for (const QString &s : ParaClassNames())
        m_combos[1]->addItem(s);
    for (const QString &s : ParaTrackNames())
        m_combos[2]->addItem(s);
    for (const QString &s : ParaDistanceNames())
        m_combos[3]->addItem(s);
    // Nothing selected until the window has filled its boxes.
    for (QComboBox *c : m_combos)
        c->setCurrentIndex(-1);

    auto *blocks = new QGridLayout;
    for (int block = 0; block < 4; ++block) {
        auto *frame = new QGroupBox(kBlocks[block], this);
        frame->setObjectName(QStringLiteral("FrameBlock_%1").arg(block));
        auto *grid = new QGridLayout(frame);
        grid->setSpacing(2);
        for (int p = 0; p < 6; ++p) {
            auto *l = new QLabel(timerank::PeriodNames()[p], frame);
            l->setAlignment(Qt::AlignCenter);
            grid->addWidget(l, 0, p + 1);
        }
        for (int r = 0; r < 5; ++r) {
            grid->addWidget(new QLabel(QStringLiteral("%1位").arg(QChar(u'１' + r)), frame), r + 1, 0);
            for (int p = 0; p < 6; ++p) {
                const int i = block * 30 + p * 5 + r;
                m_boxes[i] = new QLineEdit(frame);
                m_boxes[i]->setObjectName(QStringLiteral("TextPara_%1").arg(i));
                m_boxes[i]->setMaximumWidth(48);
                m_boxes[i]->setAlignment(Qt::AlignRight);
                platform::ui::selectAllOnFocus(m_boxes[i]);
                grid->addWidget(m_boxes[i], r + 1, p + 1);
            }
        }
        blocks->addWidget(frame, block / 2, block % 2);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    const std::array<QString, 3> captions{QStringLiteral("Close"), QStringLiteral("登録(表示条件）"),
                                          QStringLiteral("登録(全条件）")};
    m_buttons =
        platform::ui::ButtonArray(this, QStringLiteral("cmdTRPara"), captions, &frmTimeRankPara::cmdTRPara_Click);
    for (QPushButton *b : m_buttons) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(selectors);
    layout->addLayout(blocks);
    layout->addLayout(buttons);

    QString error;
    if (LoadTRParaFile(m_table, &error) < 0)
        platform::dialogs().critical(ParaFileOpenMessage(error));
    fill(m_table[0]);
    for (QComboBox *c : m_combos) {
        c->setCurrentIndex(0);
        connect(c, &QComboBox::currentIndexChanged, this, [this] { ShowCondition(); });
    }
    ShowCondition();
}

int frmTimeRankPara::conditionIndex() const
{
    for (QComboBox *c : m_combos)
        if (c->currentIndex() < 0)
            return -1;
    return ConditionIndex(m_combos[0]->currentIndex(), m_combos[1]->currentIndex(), m_combos[2]->currentIndex(),
                          m_combos[3]->currentIndex());
}

void frmTimeRankPara::fill(const TRParaRecord &record)
{
    const auto texts = BoxesOf(record);
    for (int i = 0; i < kParaBoxes; ++i)
        m_boxes[i]->setText(texts[i]);
}

std::array<QString, kParaBoxes> frmTimeRankPara::boxTexts() const
{
    std::array<QString, kParaBoxes> texts;
    for (int i = 0; i < kParaBoxes; ++i)
        texts[i] = m_boxes[i]->text();
    return texts;
}

void frmTimeRankPara::ShowCondition()
{
    const int n = conditionIndex();
    if (n < 0)
        return;
    fill(m_table[n]);
}

void frmTimeRankPara::SaveShownCondition()
{
    const int n = conditionIndex();
    if (n < 0)
        return;
    QString error;
    if (!SaveCondition(m_table, n, boxTexts(), &error)) {
        platform::dialogs().critical(
            QStringLiteral("パラメータを登録できません． ( %1 )\n%2").arg(TRParaPath(), error));
        return;
    }
    ShowCondition();
    platform::dialogs().information(QStringLiteral("パラメータの登録が完了しました．"));
}

void frmTimeRankPara::SaveAllConditions()
{
    // One click overwrites every condition and cannot be undone: ask first.
    if (platform::dialogs().warningYesNo(QStringLiteral("全 1600 条件のパラメータを表示中の値で上書きします．"
                                                        "元に戻すことはできません．よろしいですか？\n( %1 )")
                                             .arg(TRParaPath())) != platform::Answer::Yes)
        return;
    auto *wait = new platform::ui::frmWait(this);
    wait->ProgressBar()->setMaximum(kConditions);
    // The events processed while writing must not reach this window's buttons
    // (a second save, or Close while the boxes are still being read).
    wait->setWindowModality(Qt::ApplicationModal);
    wait->show();
    QString error;
    const bool ok = SaveAllConditionRecords(
        m_table, boxTexts(),
        [wait](int k) {
            wait->ProgressBar()->setValue(k);
            if (k % 100 == 0)
                platform::DoEvents();
        },
        &error);
    wait->close();
    delete wait;
    if (!ok) {
        platform::dialogs().critical(
            QStringLiteral("パラメータを登録できません． ( %1 )\n%2").arg(TRParaPath(), error));
        return;
    }
    ShowCondition();
    platform::dialogs().information(QStringLiteral("全条件へのパラメータ登録が完了しました．"));
}

void frmTimeRankPara::cmdTRPara_Click(int index)
{
    switch (index) {
    case 0: close(); break;
    case 1: SaveShownCondition(); break;
    default: SaveAllConditions(); break;
    }
}

} // namespace korvin::predict::ui
