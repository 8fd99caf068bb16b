#include "files/ui/frmFileMenu.h"

#include "files/ui/frmFileLZH.h"
#include "platform/ui/buttonarray.h"

#include <QGridLayout>
#include <QPushButton>

namespace korvin::files::ui {

frmFileMenu::frmFileMenu(QWidget *opener) : KorvinWindow(opener)
{
    setObjectName(QStringLiteral("frmFileMenu"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / FileMenu"));

    // Close on top, then the tool buttons in two columns.
    auto *grid = new QGridLayout(this);
    m_buttons =
        platform::ui::ButtonArray<kButtons>(this, QStringLiteral("cmdFileMenu"), &frmFileMenu::cmdFileMenu_Click);
    for (int i = 0; i < kButtons; ++i) {
        QPushButton *b = m_buttons[size_t(i)];
        b->setMinimumSize(200, 32);
        if (i == 0)
            grid->addWidget(b, 0, 0, 1, 2);
        else
            grid->addWidget(b, 1 + (i - 1) % 8, (i - 1) / 8);
    }
    m_buttons[0]->setText(QStringLiteral("Close"));
    m_buttons[1]->setText(QStringLiteral("LZHファイルコピー"));
}

void frmFileMenu::cmdFileMenu_Click(int index)
{
    switch (index) {
    case 0: close(); break;
    case 1: {
        auto *w = new frmFileLZH(this);
        w->setWindowModality(Qt::ApplicationModal);
        m_opened = w;
        w->show();
        break;
    }
    default: break;
    }
}

} // namespace korvin::files::ui
