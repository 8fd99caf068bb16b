#include "app/ui/frmOption.h"

#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "platform/ui/buttonarray.h"
#include "common/programfolder.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvin::app::ui {
using namespace korvin::common;

frmOption::frmOption(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmOption"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / Option"));

    auto *grid = new QGridLayout;
    for (int i = 0; i < common::kOptionPairs; ++i) {
        m_labels[i] = new QLabel(this);
        m_labels[i]->setObjectName(QStringLiteral("Label_%1").arg(i));
        m_labels[i]->setFont(platform::ui::fixedPitchFont());
        m_labels[i]->setVisible(false);
        m_texts[i] = new QLineEdit(this);
        m_texts[i]->setObjectName(QStringLiteral("Text_%1").arg(i));
        m_texts[i]->setVisible(false);
        m_texts[i]->setMinimumWidth(360);
        grid->addWidget(m_labels[i], i, 0);
        grid->addWidget(m_texts[i], i, 1);
    }
    m_buttons = platform::ui::ButtonArray(this, QStringLiteral("cmdOption"),
                                          std::array<QString, 2>{QStringLiteral("OK"), QStringLiteral("Cancel")},
                                          &frmOption::cmdOption_Click);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : m_buttons)
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);

    QString error;
    const auto lines = platform::readLines(SettingsPath(), &error);
    if (!lines) {
        platform::fatal(SettingsMissingMessage(SettingsPath(), error));
        return;
    }
    const QList<OptionPair> pairs = OptionPairsOf(*lines);
    for (int i = 0; i < pairs.size(); ++i) {
        m_texts[i]->setText(pairs[i].value);
        m_texts[i]->setVisible(true);
        m_labels[i]->setText(pairs[i].label);
        m_labels[i]->setVisible(true);
    }
}

void frmOption::cmdOption_Click(int index)
{
    if (index == 0) {
        QList<OptionPair> edited;
        for (int i = 0; i < common::kOptionPairs && m_labels[i]->isVisible(); ++i)
            edited.append({m_labels[i]->text(), m_texts[i]->text()});
        QString error;
        if (!SaveOptions(edited, &error)) {
            platform::dialogs().critical(
                QStringLiteral("設定ファイルを保存できません． ( %1 )\n%2").arg(SettingsPath(), error));
            return;
        }
        platform::ShowMessages(LoadSettings());
    }
    close();
}

} // namespace korvin::app::ui
