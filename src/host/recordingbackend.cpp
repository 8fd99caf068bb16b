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

FocusCheck RecordingBackend::checkFocus(std::string &detail)
{
    const FocusCheck found = m_rec->focus ? m_rec->focus() : FocusCheck::Held;
    if (found == FocusCheck::Lost)
        detail = "キーボードのフォーカスがウィンドウ「Terminal」に移りました";
    else if (found == FocusCheck::Closed)
        detail = "ウィンドウ「Vantor frontier」が閉じられました";
    return found;
}

bool RecordingBackend::send(const std::vector<KeyAction> &actions, std::string &error)
{
    ++m_rec->sends;
    // The keys pressed before the guard or a stop ended the send.
    std::size_t pressed = 0;
    bool ok = true;
    for (; pressed < actions.size(); ++pressed) {
        if (pressed % kGuardEveryKeys == 0 && !mayPressNext(error)) {
            ok = false;
            break;
        }
        ++m_rec->keys;
    }
    if (ok)
        setFault(KeyFault::NoFault);
    std::vector<KeyAction> expected;
    if (m_announced && m_announced->kind == Operation::Kind::Keys)
        expected = ParseKeyString(m_announced->text.toStdString()).actions;
    else if (m_announced)
        TextActions(m_announced->text.toStdString(), expected);
    if (ok && m_announced && expected == actions) {
        log(DryRunLine(*m_announced));
    } else if (pressed > 0) {
        QStringList described;
        for (std::size_t i = 0; i < pressed; ++i)
            described << QString::fromStdString(DescribeAction(actions[i]));
        log(QString::fromUtf8(QJsonDocument(QJsonArray{QStringLiteral("send"), described.join(QStringLiteral("; "))})
                                  .toJson(QJsonDocument::Compact)));
    }
    m_announced.reset();
    return ok;
}

bool RecordingBackend::capsLock(bool &on, std::string &)
{
    on = m_rec->capsLock;
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
