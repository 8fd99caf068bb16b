#include "platform/ui/window.h"

#include <QCloseEvent>

namespace korvin::platform::ui {

KorvinWindow::KorvinWindow(QWidget *opener) : QWidget(nullptr), m_opener(opener) { setAttribute(Qt::WA_DeleteOnClose); }

void KorvinWindow::closeQuietly()
{
    m_quiet = true;
    close();
}

void KorvinWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    if (!m_quiet && m_opener)
        m_opener->show();
    emit closed();
}

QFont fixedPitchFont(int pointSize)
{
    QFont f(QStringLiteral("ＭＳ ゴシック"), pointSize);
    f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                   QStringLiteral("IPAゴシック"), QStringLiteral("Noto Sans Mono CJK JP"),
                   QStringLiteral("monospace")});
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    return f;
}

} // namespace korvin::platform::ui
