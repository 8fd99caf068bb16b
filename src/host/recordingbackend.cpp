#include "host/recordingbackend.h"

#include "host/keynotation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>

namespace korvin::host {

RecordingBackend::RecordingBackend(std::shared_ptr<Recording> recording) : m_rec(std::move(recording)) {}

void RecordingBackend::log(const QString &line)
{
    m_rec->log << line;
    if (m_rec->onLogged)
        m_rec->onLogged(line);
}

bool RecordingBackend::activate(const std::string &title, std::string &error)
{
    Operation op;
    op.kind = Operation::Kind::Activate;
    op.text = QString::fromStdString(title);
    log(DryRunLine(op));
    std::vector<std::string> titles;
    for (const QString &w : m_rec->windows)
        titles.push_back(w.toStdString());
    if (PickWindowTitle(titles, title) >= 0)
        return true;
    error = NoWindowError(title);
    return false;
}

bool RecordingBackend::send(const std::vector<KeyAction> &actions, std::string &)
{
    ++m_rec->sends;
    std::vector<KeyAction> expected;
    if (m_announced && m_announced->kind == Operation::Kind::Keys)
        expected = ParseKeyString(m_announced->text.toStdString()).actions;
    else if (m_announced)
        TextActions(m_announced->text.toStdString(), expected);
    if (m_announced && expected == actions) {
        log(DryRunLine(*m_announced));
    } else {
        QStringList described;
        for (const KeyAction &a : actions)
            described << QString::fromStdString(DescribeAction(a));
        log(QString::fromUtf8(QJsonDocument(QJsonArray{QStringLiteral("send"), described.join(QStringLiteral("; "))})
                                  .toJson(QJsonDocument::Compact)));
    }
    m_announced.reset();
    return true;
}

bool RecordingBackend::capsLock(bool &on, std::string &)
{
    on = m_rec->capsLock;
    return true;
}

bool RecordingBackend::setCapsLock(bool on, std::string &)
{
    ++m_rec->capsLockSets;
    m_rec->capsLock = on;
    return true;
}

void RecordingBackend::operationStarted(const Operation &op)
{
    switch (op.kind) {
    case Operation::Kind::Keys:
    case Operation::Kind::Type: m_announced = op; break;
    case Operation::Kind::Activate: break; // logged by activate itself
    default: log(DryRunLine(op)); break;
    }
}

} // namespace korvin::host
