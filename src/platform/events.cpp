#include "platform/events.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

namespace korvin::platform {

void DoEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

void SleepWithEvents(int milliseconds)
{
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < milliseconds) {
        DoEvents();
        QThread::msleep(qMin<qint64>(5, qMax<qint64>(1, milliseconds - t.elapsed())));
    }
}

} // namespace korvin::platform
