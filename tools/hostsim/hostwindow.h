#pragma once
// The stand-in host's window, "Vantor frontier": the race list with its
// cursor, the screen the host is on, the keys received. Every key press that
// reaches the window goes to the model (Tab included) and into the key log.
#include "hostmodel.h"
#include "keylog.h"

#include <QFile>
#include <QMainWindow>
#include <QQueue>
#include <QStringList>

class QLabel;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvin::hostsim {

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    // keyDelayMs > 0: the slow mode, each key waits its turn and shows what the host is busy with.
    HostWindow(HostModel &model, int keyDelayMs, const QString &logPath, QWidget *parent = nullptr);

    bool logOpen() const { return m_log.isOpen() || m_log.fileName().isEmpty(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void received(const ReceivedKey &key);
    void startNext();
    void apply(const ReceivedKey &key);
    void refresh();

    HostModel &m_model;
    int m_keyDelayMs = 0;
    QFile m_log;
    QQueue<ReceivedKey> m_queue;
    bool m_busy = false;
    QTimer *m_timer = nullptr;
    QTimer *m_redraw = nullptr;
    QStringList m_shownKeys; // logged, not yet on screen
    QLabel *m_status = nullptr;
    QLabel *m_busyLabel = nullptr;
    QListWidget *m_races = nullptr;
    QPlainTextEdit *m_screen = nullptr;
    QPlainTextEdit *m_keys = nullptr;
    QPushButton *m_cards = nullptr;
    QPushButton *m_results = nullptr;
};

} // namespace korvin::hostsim
