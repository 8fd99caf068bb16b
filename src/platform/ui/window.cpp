#include "platform/ui/window.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QHash>
#include <QPushButton>
#include <QRect>
#include <QWindow>

namespace korvin::platform::ui {

namespace {
// Where each window was left: position and size by object name.
class PlaceKeeper : public QObject {
public:
    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(o);
        if (!w || !w->isWindow() || w->objectName().isEmpty())
            return false;
        if (e->type() == QEvent::Hide) {
            m_places[w->objectName()] = w->geometry();
        } else if (e->type() == QEvent::Show && !e->spontaneous()) {
            // Before the window is mapped. A window shown again is placed anew by
            // the window manager unless it is told the place: set on the native
            // window, the place goes with the window as one the program asks for.
            const auto it = m_places.constFind(w->objectName());
            if (it != m_places.constEnd()) {
                w->setGeometry(*it);
                if (QWindow *native = w->windowHandle())
                    native->setGeometry(*it);
            }
        }
        return false;
    }

private:
    QHash<QString, QRect> m_places;
};
} // namespace

void rememberPlace(QWidget *window)
{
    static PlaceKeeper keeper;
    window->installEventFilter(&keeper);
}

KorvinWindow::KorvinWindow(QWidget *opener) : QWidget(nullptr), m_opener(opener)
{
    setAttribute(Qt::WA_DeleteOnClose);
    rememberPlace(this);
}

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

QPushButton *addCloseRow(QWidget *window, QBoxLayout *layout)
{
    auto *close = new QPushButton(QStringLiteral("Close"), window);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setMinimumWidth(100);
    QObject::connect(close, &QPushButton::clicked, window, &QWidget::close);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(close);
    layout->addLayout(row);
    return close;
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
