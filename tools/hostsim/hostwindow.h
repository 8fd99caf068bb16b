#pragma once
// The stand-in host's window, "Vantor frontier": the race list with its
// cursor, the screen the host is on, the keys received; and the export's
// file-name dialog, "出力ファイル名", a window of its own as on the real host.
// Every key press that reaches either window goes to the model (Tab included)
// and into the key log.
#include "delayedexports.h"
#include "hostmodel.h"
#include "keylog.h"

#include <QAbstractNativeEventFilter>
#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QQueue>
#include <QStringList>
#include <optional>
#include <utility>

class QDialog;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace korvin::hostsim {

class HostWindow : public QMainWindow {
    Q_OBJECT
public:
    // keyDelayMs > 0: the slow mode, each key waits its turn and shows what the host is busy with.
    // clock: started with the stand-in, it stamps the keys in the log. late:
    // the model's exports when they are written late (the window writes them
    // when due), else null.
    HostWindow(HostModel &model, int keyDelayMs, const QString &logPath, const QElapsedTimer &clock,
               DelayedExports *late, QWidget *parent = nullptr);

    bool logOpen() const { return m_log.isOpen() || m_log.fileName().isEmpty(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    qint64 arrivalMs(ulong stamp);
    void received(const ReceivedKey &key);
    void startNext();
    void apply(const ReceivedKey &key);
    void refresh();
    // Opens or closes the file-name dialog as the model's prompt says, moving the focus with it.
    void syncDialog();
    void refreshDialog();
    void scheduleExports();

    HostModel &m_model;
    int m_keyDelayMs = 0;
    const QElapsedTimer &m_clock;
    // The first key's window-system time and our clock then (see eventFilter).
    std::optional<std::pair<ulong, qint64>> m_firstKeyTime;
    // The system's time of the last key-down message (Windows), seen before
    // Qt turns it into a key press.
    struct KeyDownTime : QAbstractNativeEventFilter {
        ulong time = 0;
        bool nativeEventFilter(const QByteArray &type, void *message, qintptr *) override;
    } m_keyDownTime;
    DelayedExports *m_late = nullptr;
    QTimer *m_exportTimer = nullptr;
    int m_unexpected = 0;
    QString m_lastUnexpected;
    QDialog *m_dialog = nullptr;
    QLineEdit *m_name = nullptr;
    QLabel *m_dialogMessage = nullptr;
    QFile m_log;
    QQueue<ReceivedKey> m_queue;
    bool m_busy = false;
    bool m_hideDialog = false; // the dialog goes once the main window has the focus
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
