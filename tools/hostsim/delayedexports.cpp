#include "delayedexports.h"

#include <algorithm>

namespace korvin::hostsim {

DelayedExports::DelayedExports(ExportFiles &target, int delayMs, std::function<qint64()> now)
    : m_target(target), m_delayMs(delayMs), m_now(std::move(now))
{
}

bool DelayedExports::exists(const QString &path)
{
    return std::any_of(m_pieces.begin(), m_pieces.end(), [&path](const Piece &p) { return p.path == path; }) ||
           m_target.exists(path);
}

bool DelayedExports::write(const QString &path, const QStringList &lines, bool append, QString *)
{
    const qint64 asked = m_now();
    const int half = int((lines.size() + 1) / 2);
    m_pieces.enqueue({asked + m_delayMs, path, lines.mid(0, half), append, false});
    m_pieces.enqueue({asked + m_delayMs + m_delayMs / 2, path, lines.mid(half), true, true});
    return true;
}

QStringList DelayedExports::writeDue()
{
    QStringList errors;
    const qint64 now = m_now();
    while (!m_pieces.isEmpty() && m_pieces.head().due <= now) {
        const Piece p = m_pieces.dequeue();
        QString error;
        if (!m_target.write(p.path, p.lines, p.append, &error)) {
            errors << p.path + QStringLiteral(": ") + error;
            // The rest of an export whose first half failed is not written either.
            if (!p.rest && !m_pieces.isEmpty() && m_pieces.head().rest)
                m_pieces.dequeue();
        }
    }
    return errors;
}

qint64 DelayedExports::nextDue() const { return m_pieces.isEmpty() ? -1 : m_pieces.head().due; }

} // namespace korvin::hostsim
