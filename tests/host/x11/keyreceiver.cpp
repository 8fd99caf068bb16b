// A window that reports the keys it receives, for the X11 backend tests.
// Usage: korvin-keyreceiver TITLE. Prints "ready" once the window is on
// screen; then, each time Escape arrives, one line with what came before it:
// printable text as it stands, any other key as {Name} ({Return}, {F8},
// {Shift+Tab}). Modifier keys alone are not reported.
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QWindow>
#include <cstdio>

namespace {

class Receiver : public QLineEdit {
protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        switch (e->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
        case Qt::Key_CapsLock: break;
        case Qt::Key_Escape:
            std::printf("%s\n", m_log.toUtf8().constData());
            std::fflush(stdout);
            m_log.clear();
            clear();
            return;
        default:
            if (!e->text().isEmpty() && e->text().at(0).isPrint())
                m_log += e->text();
            else
                m_log += QLatin1Char('{') + QKeySequence(e->keyCombination()).toString() + QLatin1Char('}');
        }
        QLineEdit::keyPressEvent(e);
    }

private:
    QString m_log;
};

class ExposeWatch : public QObject {
protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && static_cast<QWindow *>(object)->isExposed() && !m_told) {
            m_told = true;
            std::printf("ready\n");
            std::fflush(stdout);
        }
        return false;
    }

private:
    bool m_told = false;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvin-keyreceiver TITLE\n");
        return 2;
    }
    Receiver receiver;
    receiver.setWindowTitle(QString::fromUtf8(argv[1]));
    receiver.resize(400, 40);
    ExposeWatch watch;
    receiver.winId(); // creates the native window, so the watch sees its first exposure
    receiver.windowHandle()->installEventFilter(&watch);
    receiver.show();
    return app.exec();
}
