#include "host/ui/scriptwindow.h"

#include "common/settings.h"
#include "host/runlock.h"
#include "platform/dialogs.h"
#include "platform/events.h"

#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace korvin::host::ui {

ScriptWindow::ScriptWindow(QWidget *opener) : KorvinWindow(opener)
{
    platform::ShowMessages(common::LoadSettings());
    const std::array<qint16, 3> waits{common::Settings.Wait1, common::Settings.Wait2, common::Settings.Wait3};
    for (int i = 0; i < 3; ++i) {
        m_waits[i] = new QLineEdit(QString::number(waits[i]), this);
        m_waits[i]->setObjectName(QStringLiteral("TextWait_%1").arg(i));
    }
    m_repeat = new QLineEdit(QStringLiteral("1"), this);
    m_repeat->setObjectName(QStringLiteral("TextRepeat"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("LabelStatus"));
    m_stop = new QPushButton(QStringLiteral("Stop"), this);
    m_stop->setObjectName(QStringLiteral("cmdStop"));
    m_stop->setEnabled(false);
    connect(m_stop, &QPushButton::clicked, this, [this] { m_stopRequested = true; });
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, [this] {
        if (m_running)
            m_stopRequested = true;
    });
}

void ScriptWindow::arrange(QLayout *above, const std::vector<QPushButton *> &buttons)
{
    auto *boxes = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto *label = new QLabel(i < 3 ? QStringLiteral("Wait%1：").arg(i + 1) : QStringLiteral("Repeat："), this);
        label->setObjectName(i < 3 ? QStringLiteral("LabelWait_%1").arg(i) : QStringLiteral("LabelRepeat"));
        QLineEdit *box = i < 3 ? m_waits[i] : m_repeat;
        box->setMaximumWidth(60);
        boxes->addWidget(label, i, 0);
        boxes->addWidget(box, i, 1);
        boxes->addWidget(new QLabel(i < 3 ? QStringLiteral("s") : QStringLiteral("R"), this), i, 2);
    }
    auto *column = new QVBoxLayout;
    for (QPushButton *b : buttons) {
        b->setMinimumHeight(32);
        column->addWidget(b);
    }
    column->addStretch();
    m_stop->setMinimumHeight(32);
    column->addWidget(m_stop);
    auto *hint = new QLabel(QStringLiteral("ホスト以外をクリックすると中止します"), this);
    hint->setObjectName(QStringLiteral("LabelStopHint"));

    auto *left = new QVBoxLayout;
    left->addLayout(above);
    left->addSpacing(8);
    left->addLayout(boxes);
    left->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(column);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(hint);
    layout->addWidget(m_status);
}

std::optional<RunResult> ScriptWindow::runScript(const Build &build, QPushButton *run)
{
    if (m_running)
        return std::nullopt;
    // The settings on disk at this moment apply to the run.
    if (!platform::ShowMessages(common::LoadSettings()))
        return std::nullopt;
    platform::Messages messages;
    RunBoxes texts;
    for (int i = 0; i < 3; ++i)
        texts.waits[i] = m_waits[i]->text();
    texts.repeat = m_repeat->text();
    const auto numbers = ConvertRunBoxes(texts, messages);
    const auto script = numbers ? build(*numbers, messages) : std::nullopt;
    if (!script) {
        platform::ShowMessages(messages);
        return std::nullopt;
    }
    std::unique_ptr<KeyBackend> backend = CreateBackend();
    if (!backend) {
        platform::dialogs().critical(QStringLiteral("キーを送信する仕組みがないため，実行できません．"));
        return std::nullopt;
    }
    // The run processes events while it waits: a second click must not start
    // a second script into the same host, from this window or another.
    HostRunLock lock;
    QString busy;
    if (!lock.tryLock(&busy)) {
        platform::dialogs().critical(busy);
        return std::nullopt;
    }
    m_running = true;
    m_stopRequested = false;
    run->setEnabled(false);
    m_stop->setEnabled(true);
    letTheClickSettle();
    RunOptions options;
    options.progress = [this](const RunProgress &p) { m_status->setText(ProgressText(p)); };
    options.stopRequested = [this] { return m_stopRequested; };
    options.activateOwnWindow = [this] {
        raise();
        activateWindow();
    };
    RunResult result = RunScript(*script, *backend, options);
    lock.unlock();
    m_status->clear();
    m_stop->setEnabled(false);
    run->setEnabled(true);
    m_running = false;
    return result;
}

void ScriptWindow::letTheClickSettle()
{
    QElapsedTimer since;
    since.start();
    // A button still held ends this wait too, but never later than a few seconds.
    while (since.elapsed() < QApplication::doubleClickInterval() ||
           (QGuiApplication::mouseButtons() != Qt::NoButton && since.elapsed() < 3000))
        platform::SleepWithEvents(10);
}

void ScriptWindow::closeEvent(QCloseEvent *event)
{
    // The window must outlive its run: closing deletes it.
    if (m_running) {
        event->ignore();
        return;
    }
    KorvinWindow::closeEvent(event);
}

} // namespace korvin::host::ui
