#include "play.h"

#include "keylog.h"

#include "host/keynotation.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace korvin::hostsim {

PlayResult PlayDryRun(HostModel &host, const QStringList &dryRunLines,
                      const std::function<void(const QString &path)> &remove)
{
    PlayResult r;
    for (int i = 0; i < dryRunLines.size(); ++i) {
        const QString &line = dryRunLines[i];
        if (line.trimmed().isEmpty())
            continue;
        const QJsonDocument doc = QJsonDocument::fromJson(line.toUtf8());
        const QJsonArray op = doc.array();
        if (!doc.isArray() || op.isEmpty() || !op.at(0).isString()) {
            r.error = QStringLiteral("line %1 is not an operation: %2").arg(i + 1).arg(line);
            return r;
        }
        const QString kind = op.at(0).toString();
        const std::string text = op.at(1).toString().toStdString();
        std::vector<host::KeyAction> actions;
        if (kind == QLatin1String("keys")) {
            host::KeyParse parsed = host::ParseKeyString(text);
            if (!parsed.ok()) {
                r.error = QStringLiteral("line %1: %2").arg(i + 1).arg(QString::fromStdString(parsed.error));
                return r;
            }
            actions = std::move(parsed.actions);
        } else if (kind == QLatin1String("type")) {
            host::TextActions(text, actions);
        } else if (kind == QLatin1String("delete")) {
            remove(op.at(1).toString());
        }
        for (const host::KeyAction &a : actions) {
            ++r.keys;
            if (!host.press(a))
                r.unexpected << QStringLiteral("%1: %2").arg(r.keys).arg(describeKey(a));
        }
    }
    return r;
}

} // namespace korvin::hostsim
