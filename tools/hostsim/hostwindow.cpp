#include "hostwindow.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace korvin::hostsim {

namespace {

QFont fixedFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAGothic"), QStringLiteral("monospace")});
    f.setStyleHint(QFont::TypeWriter);
    f.setPointSize(10);
    return f;
}

// Display only: the keys belong to the window as a whole.
template <class W>
W *noFocus(W *w)
{
    w->setFocusPolicy(Qt::NoFocus);
    return w;
}

} // namespace

HostWindow::HostWindow(HostModel &model, int keyDelayMs, const QString &logPath, QWidget *parent)
    : QMainWindow(parent), m_model(model), m_keyDelayMs(keyDelayMs), m_log(logPath)
{
    setWindowTitle(QStringLiteral("Vantor frontier"));
    setObjectName(QStringLiteral("VantorFrontier"));
    if (!logPath.isEmpty())
        m_log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    m_status = noFocus(new QLabel(central));
    m_status->setObjectName(QStringLiteral("status"));
    m_busyLabel = noFocus(new QLabel(central));
    m_busyLabel->setObjectName(QStringLiteral("busy"));
    auto *modes = new QHBoxLayout;
    m_cards = noFocus(new QPushButton(QStringLiteral("出馬表"), central));
    m_results = noFocus(new QPushButton(QStringLiteral("成績"), central));
    for (QPushButton *b : {m_cards, m_results})
        b->setCheckable(true);
    modes->addWidget(m_cards);
    modes->addWidget(m_results);
    modes->addWidget(m_status, 1);
    layout->addLayout(modes);
    layout->addWidget(m_busyLabel);

    auto *split = new QSplitter(central);
    m_races = noFocus(new QListWidget(split));
    m_races->setObjectName(QStringLiteral("races"));
    m_screen = noFocus(new QPlainTextEdit(split));
    m_screen->setObjectName(QStringLiteral("screen"));
    m_screen->setReadOnly(true);
    m_screen->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_keys = noFocus(new QPlainTextEdit(split));
    m_keys->setObjectName(QStringLiteral("keys"));
    m_keys->setReadOnly(true);
    m_keys->setMaximumBlockCount(500);
    m_keys->setLineWrapMode(QPlainTextEdit::NoWrap);
    for (QWidget *w :
         {static_cast<QWidget *>(m_races), static_cast<QWidget *>(m_screen), static_cast<QWidget *>(m_keys)})
        w->setFont(fixedFont());
    split->setSizes({360, 640, 240});
    // A narrower window takes its room from the screen in the middle.
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setStretchFactor(2, 0);
    layout->addWidget(split, 1);
    setCentralWidget(central);
    setFocusPolicy(Qt::StrongFocus);
    resize(1240, 720);

    for (int i = 0; i < m_model.raceCount(); ++i)
        m_races->addItem(m_model.raceCaption(i));
    connect(m_races, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != m_model.cursor() && !m_model.setCursor(row))
            refresh(); // the cursor moves with the mouse only on the race list
    });
    connect(m_cards, &QPushButton::clicked, this, [this] {
        m_model.setListMode(ListMode::Cards);
        refresh();
    });
    connect(m_results, &QPushButton::clicked, this, [this] {
        m_model.setListMode(ListMode::Results);
        refresh();
    });

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, [this] {
        const ReceivedKey key = m_queue.dequeue();
        apply(key);
        m_busy = false;
        startNext();
    });
    m_redraw = new QTimer(this);
    m_redraw->setSingleShot(true);
    m_redraw->setInterval(20);
    connect(m_redraw, &QTimer::timeout, this, [this] {
        m_keys->appendPlainText(m_shownKeys.join(QLatin1Char('\n')));
        m_shownKeys.clear();
        refresh();
    });
    qApp->installEventFilter(this);
    refresh();
}

bool HostWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Key presses reach the window object and then the focus widget: take
    // them once, at the widget, before Qt uses Tab to move the focus.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() ||
        static_cast<QWidget *>(watched)->window() != this)
        return QMainWindow::eventFilter(watched, event);
    const auto *k = static_cast<QKeyEvent *>(event);
    const ReceivedKey key = fromQtKey(k->key(), k->modifiers(), k->text());
    if (!key.modifierOnly)
        received(key);
    return true;
}

void HostWindow::received(const ReceivedKey &key)
{
    if (m_keyDelayMs <= 0) {
        apply(key);
        return;
    }
    m_queue.enqueue(key);
    startNext();
}

void HostWindow::startNext()
{
    if (m_busy || m_queue.isEmpty()) {
        if (m_queue.isEmpty())
            m_busyLabel->setText(QStringLiteral("待機中"));
        return;
    }
    m_busy = true;
    const ReceivedKey &key = m_queue.head();
    const Work w = key.action ? m_model.work(*key.action) : Work{};
    m_busyLabel->setText(QStringLiteral("%1: %2…  (後に %3 キー)").arg(key.line, w.text).arg(m_queue.size() - 1));
    m_timer->start(m_keyDelayMs * w.units);
}

void HostWindow::apply(const ReceivedKey &key)
{
    const bool expected = key.action && m_model.press(*key.action);
    const QString line = key.line + (expected ? QString() : QStringLiteral(" unexpected"));
    if (m_log.isOpen()) {
        m_log.write(line.toUtf8() + '\n');
        m_log.flush();
    }
    // The screen is redrawn once a burst of keys has been handled: a run sends
    // hundreds of keys a second, and painting after each one would make the
    // host fall behind the pauses of the run on a busy machine.
    m_shownKeys << line;
    if (!m_redraw->isActive())
        m_redraw->start();
}

void HostWindow::refresh()
{
    const bool onList = m_model.screen() == Screen::RaceList && m_model.prompt() == Prompt::None;
    m_cards->setChecked(m_model.listMode() == ListMode::Cards);
    m_results->setChecked(m_model.listMode() == ListMode::Results);
    m_cards->setEnabled(onList);
    m_results->setEnabled(onList);
    if (m_model.raceCount() > 0) {
        const QSignalBlocker block(m_races);
        m_races->setCurrentRow(m_model.cursor());
        m_status->setText(
            QStringLiteral("画面: %1   カーソル: %2").arg(m_model.screenName(), m_model.raceCaption(m_model.cursor())));
    }
    m_screen->setPlainText(m_model.screenLines().join(QLatin1Char('\n')));
    if (m_keyDelayMs <= 0)
        m_busyLabel->setText(m_model.message());
}

} // namespace korvin::hostsim
