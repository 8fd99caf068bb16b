#pragma once
// The slow mode of the exports: a host that writes its file late and in two
// pieces, so that a reader that does not wait for the whole file sees half of it.
#include "hostmodel.h"

#include <QQueue>
#include <QString>
#include <QStringList>
#include <functional>

namespace korvin::hostsim {

class DelayedExports : public ExportFiles {
public:
    // now: milliseconds on a monotonic clock. Each export is written delayMs
    // after it was asked for: the first half of its lines (appended or
    // replacing the file, as asked), the rest delayMs / 2 later.
    DelayedExports(ExportFiles &target, int delayMs, std::function<qint64()> now);

    // True also while an export to the path waits to be written.
    bool exists(const QString &path) override;
    // Queues the export; errors come later, from writeDue().
    bool write(const QString &path, const QStringList &lines, bool append, QString *error) override;

    // Writes, in the order they were asked for, the pieces due at the time now;
    // a piece never overtakes the one before it. Errors as "path: reason".
    QStringList writeDue();
    // When the next piece is due (clock milliseconds), -1 when none waits.
    qint64 nextDue() const;

private:
    struct Piece {
        qint64 due;
        QString path;
        QStringList lines;
        bool append;
        bool rest; // the second half of an export
    };
    ExportFiles &m_target;
    int m_delayMs;
    std::function<qint64()> m_now;
    QQueue<Piece> m_pieces;
};

} // namespace korvin::hostsim
