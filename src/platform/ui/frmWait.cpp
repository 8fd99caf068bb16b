#include "platform/ui/frmWait.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

namespace korvin::platform::ui {

frmWait::frmWait(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmWait"));
    setWindowTitle(QStringLiteral("<< Korvin >> Tipwise for Vantor / Just a moment"));
    m_label = new QLabel(QStringLiteral("しばらくお待ち下さい．"), this);
    m_label->setObjectName(QStringLiteral("Label1"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    resize(360, 100);
}

} // namespace korvin::platform::ui
