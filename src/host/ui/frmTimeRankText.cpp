#include "host/ui/frmTimeRankText.h"

#include "common/settings.h"
#include "platform/ui/buttonarray.h"
#include "timerank/timerankfile.h"
#include "timerank/ui/frmFileSelectTR.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace korvin::host::ui {

std::function<QWidget *(QWidget *)> &frmTimeRankText::parameterWindowFactory()
{
    static std::function<QWidget *(QWidget *)> factory;
    return factory;
}

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

    auto *waits = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        m_waitLabels[i] = new QLabel(QStringLiteral("Wait%1：").arg(i + 1), this);
        m_waitLabels[i]->setObjectName(QStringLiteral("LabelWait_%1").arg(i));
        m_waits[i] = new QLineEdit(this);
        m_waits[i]->setObjectName(QStringLiteral("TextWait_%1").arg(i));
        m_waits[i]->setMaximumWidth(60);
        waits->addWidget(m_waitLabels[i], i, 0);
        waits->addWidget(m_waits[i], i, 1);
        waits->addWidget(new QLabel(QStringLiteral("s"), this), i, 2);
    }
    auto *repeatLabel = new QLabel(QStringLiteral("Repeat："), this);
    repeatLabel->setObjectName(QStringLiteral("LabelRepeat"));
    m_repeat = new QLineEdit(QStringLiteral("1"), this);
    m_repeat->setObjectName(QStringLiteral("TextRepeat"));
    m_repeat->setMaximumWidth(60);
    waits->addWidget(repeatLabel, 3, 0);
    waits->addWidget(m_repeat, 3, 1);
    waits->addWidget(new QLabel(QStringLiteral("R"), this), 3, 2);

    auto *buttons = new QVBoxLayout;
    const std::array<QString, 4> captions{QStringLiteral("Close"), QStringLiteral("File"), QStringLiteral("Run"),
                                          QStringLiteral("予想パラメータ設定")};
    m_buttons = platform::ui::ButtonArray(this, QStringLiteral("cmdTimeRankText"), captions,
                                          &frmTimeRankText::cmdTimeRankText_Click);
    for (QPushButton *b : m_buttons) {
        b->setMinimumHeight(32);
        buttons->addWidget(b);
    }
    buttons->addStretch();
    m_buttons[2]->setEnabled(false);
    m_buttons[3]->setEnabled(bool(parameterWindowFactory()));
    m_buttons[2]->setToolTip(QStringLiteral("ホストへのキー送信による書き出しはまだ組み込まれていません．「File」で既存"
                                            "のタイムランクファイルを開いて下さい．"));

    auto *left = new QVBoxLayout;
    left->addWidget(frame);
    left->addLayout(waits);
    left->addStretch();
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    platform::ShowMessages(common::LoadSettings());
    m_waits[0]->setText(QString::number(common::Settings.Wait1));
    m_waits[1]->setText(QString::number(common::Settings.Wait2));
    m_waits[2]->setText(QString::number(common::Settings.Wait3));
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
    case 0: close(); break;
    case 1: {
        auto *w = new timerank::ui::frmFileSelectTR(this);
        m_opened = w;
        w->show();
        hide();
        break;
    }
    case 3: {
        QWidget *w = parameterWindowFactory() ? parameterWindowFactory()(this) : nullptr;
        if (!w)
            break;
        m_opened = w;
        w->show();
        hide();
        break;
    }
    default:
        // "Run" stays disabled until the keystroke automation exists.
        break;
    }
}

} // namespace korvin::host::ui
