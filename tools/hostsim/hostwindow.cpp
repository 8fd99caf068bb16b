#include "hostwindow.h"

#include <QApplication>
#include <QDialog>
#ifdef Q_OS_WIN
#include <windows.h>
#endif
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>

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

// The export's file-name dialog shows the model's prompt; only the keys that
// go to the model close it (Esc included), never the window manager or Qt.
class NameDialog : public QDialog {
public:
    using QDialog::QDialog;
    void reject() override {}
};

// Gives a window the keyboard focus: through the window manager's active
// window where there is one, else with the X server's input focus directly.
void takeFocus(QWidget *window)
{
    window->raise();
    if (QWindow *w = window->windowHandle())
        w->requestActivate(); // unlike activateWindow(), also while a transient dialog is active
}

} // namespace

HostWindow::HostWindow(HostModel &model, int keyDelayMs, const QString &logPath, const QElapsedTimer &clock,
                       DelayedExports *late, QWidget *parent)
    : QMainWindow(parent), m_model(model), m_keyDelayMs(keyDelayMs), m_clock(clock), m_late(late), m_log(logPath)
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

    m_dialog = new NameDialog(this); // transient for the main window
    m_dialog->setObjectName(QStringLiteral("exportName"));
    m_dialog->setWindowTitle(QStringLiteral("出力ファイル名"));
    m_dialog->setModal(false); // a modal dialog would drop the keys that still reach the main window
    auto *dialogLayout = new QVBoxLayout(m_dialog);
    dialogLayout->addWidget(noFocus(new QLabel(QStringLiteral("出力ファイル名を入力して下さい"), m_dialog)));
    m_name = noFocus(new QLineEdit(m_dialog));
    m_name->setObjectName(QStringLiteral("name"));
    m_name->setReadOnly(true);
    m_name->setFont(fixedFont());
    dialogLayout->addWidget(m_name);
    m_dialogMessage = noFocus(new QLabel(m_dialog));
    m_dialogMessage->setObjectName(QStringLiteral("message"));
    dialogLayout->addWidget(m_dialogMessage);
    dialogLayout->addWidget(noFocus(new QLabel(QStringLiteral("Enter: 出力  Esc: 中止"), m_dialog)));
    m_dialog->resize(560, 140);

    m_exportTimer = new QTimer(this);
    m_exportTimer->setSingleShot(true);
    connect(m_exportTimer, &QTimer::timeout, this, [this] {
        for (const QString &e : m_late->writeDue()) {
            QTextStream(stderr) << "korvin-hostsim: cannot write " << e << "\n";
            m_busyLabel->setText(QStringLiteral("書き込めません: ") + e);
        }
        scheduleExports();
    });
    qApp->installEventFilter(this);
    qApp->installNativeEventFilter(&m_keyDownTime);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow *focus) {
        if (m_hideDialog && focus && focus == windowHandle()) {
            m_hideDialog = false;
            m_dialog->hide();
        }
    });
    refresh();
}

bool HostWindow::eventFilter(QObject *watched, QEvent *event)
{
    // Key presses reach the window object and then the focus widget: take
    // them once, at the widget, before Qt uses Tab to move the focus.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QMainWindow::eventFilter(watched, event);
    const QWidget *window = static_cast<QWidget *>(watched)->window();
    if (window != this && window != m_dialog)
        return QMainWindow::eventFilter(watched, event);
    const auto *k = static_cast<QKeyEvent *>(event);
    ReceivedKey key = fromQtKey(k->key(), k->modifiers(), k->text());
#ifdef Q_OS_WIN
    // Qt stamps a key with the moment it handles it; the key's message says
    // when the system queued it.
    key.receivedMs = arrivalMs(m_keyDownTime.time);
#else
    key.receivedMs = arrivalMs(k->timestamp());
#endif
    if (!key.modifierOnly)
        received(key);
    return true;
}

bool HostWindow::KeyDownTime::nativeEventFilter(const QByteArray &type, void *message, qintptr *)
{
#ifdef Q_OS_WIN
    const MSG *msg = static_cast<const MSG *>(message);
    if (type == "windows_generic_MSG" && (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN))
        time = ulong(msg->time);
#else
    (void)type;
    (void)message;
#endif
    return false;
}

// When the window system queued the key, on our clock: a key handled late
// because this program was busy still logs the moment it was sent, so the
// pauses of the sender are measured and not our own delays. Keys without a
// time stamp take the moment they are handled.
qint64 HostWindow::arrivalMs(ulong stamp)
{
    const qint64 now = m_clock.elapsed();
    if (stamp == 0)
        return now;
    if (!m_firstKeyTime)
        m_firstKeyTime = std::make_pair(stamp, now);
    // The stamp is a 32-bit millisecond counter on both window systems.
    const auto since = static_cast<qint32>(static_cast<quint32>(stamp) - static_cast<quint32>(m_firstKeyTime->first));
    return m_firstKeyTime->second + since;
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
        m_log.write(keyLogLine(key.receivedMs, key.line, expected).toUtf8() + '\n');
        m_log.flush();
    }
    if (!expected) {
        ++m_unexpected;
        m_lastUnexpected = key.line + QStringLiteral(" (") + m_model.screenName() + QLatin1Char(')');
    }
    // The dialog opens and closes with the key, not with the next redraw: the
    // focus must follow the prompt before the run's next key arrives.
    syncDialog();
    scheduleExports();
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
        QString status =
            QStringLiteral("画面: %1   カーソル: %2").arg(m_model.screenName(), m_model.raceCaption(m_model.cursor()));
        if (m_unexpected > 0)
            status += QStringLiteral("   予期しないキー %1 回 (最後: %2)").arg(m_unexpected).arg(m_lastUnexpected);
        m_status->setText(status);
    }
    refreshDialog();
    m_screen->setPlainText(m_model.screenLines().join(QLatin1Char('\n')));
    if (m_keyDelayMs <= 0)
        m_busyLabel->setText(m_model.message());
}

void HostWindow::refreshDialog()
{
    if (m_model.prompt() != Prompt::Path)
        return;
    m_name->setText(m_model.pathText());
    if (m_model.pathSelected())
        m_name->selectAll();
    else
        m_name->setCursorPosition(int(m_model.pathText().size()));
    m_dialogMessage->setText(m_model.message());
}

void HostWindow::syncDialog()
{
    const bool open = m_model.prompt() == Prompt::Path;
    if (open) {
        m_hideDialog = false;
        if (m_dialog->isVisible())
            return;
        refreshDialog();
        // A name to type takes the focus, as a file dialog does. One offered
        // again (later exports of a run) is confirmed with Enter alone: the
        // dialog shows without moving the focus, which would lose keys that
        // come while a window manager moves it twice per export.
        const bool typeName = m_model.pathText().isEmpty();
        m_dialog->setAttribute(Qt::WA_ShowWithoutActivating, !typeName);
        m_dialog->show();
        if (typeName)
            takeFocus(m_dialog);
        return;
    }
    if (!m_dialog->isVisible() || m_hideDialog)
        return;
    // The main window takes the focus first, and the dialog goes only once it
    // has it: a window manager activates asynchronously, and keys that came
    // while neither window had the focus would be lost.
    m_hideDialog = true;
    takeFocus(this);
    QTimer::singleShot(1000, this, [this] {
        if (m_hideDialog) {
            m_hideDialog = false;
            m_dialog->hide();
        }
    });
}

void HostWindow::scheduleExports()
{
    if (!m_late)
        return;
    const qint64 due = m_late->nextDue();
    if (due >= 0)
        m_exportTimer->start(int(std::max<qint64>(0, due - m_clock.elapsed())));
}

} // namespace korvin::hostsim
