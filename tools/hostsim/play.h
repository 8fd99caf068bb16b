#pragma once
// A keystroke run played into the stand-in without a window: the operations
// of Korvin's dry run ("korvin-cli script", one JSON array a line), whose key
// strings and typed texts are pressed one key after the other. Waits,
// activations and Korvin's own file steps are passed over, except that the
// exports Korvin deletes are deleted through `remove`, so that the host finds
// what it would find in a real run.
#include "hostmodel.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace korvin::hostsim {

struct PlayResult {
    int keys = 0;           // keys pressed
    QStringList unexpected; // key-log lines of the keys the host did not expect
    QString error;          // a line that is not an operation, or a key string that does not parse
};

PlayResult PlayDryRun(HostModel &host, const QStringList &dryRunLines,
                      const std::function<void(const QString &path)> &remove);

} // namespace korvin::hostsim
