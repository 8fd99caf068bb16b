#include "host/runner.h"

#include "host/keynotation.h"
#include "platform/events.h"
#include "platform/textfile.h"

#include <QFile>

namespace korvin::host {

namespace {

using Kind = Operation::Kind;

BackendFactory &factory()
{
    static BackendFactory f;
    return f;
}

QString fromStd(const std::string &s) { return QString::fromStdString(s); }

QString withReason(const QString &text, const std::string &reason)
{
    return reason.empty() ? text : text + QStringLiteral(" ( ") + fromStd(reason) + QStringLiteral(" )");
}

bool keysFollow(const Script &script, std::size_t from)
{
    for (std::size_t i = from; i < script.operations.size(); ++i) {
        const Kind k = script.operations[i].kind;
        if (k == Kind::Keys || k == Kind::Type)
            return true;
    }
    return false;
}

} // namespace

void WaitSeconds(int n)
{
    if (n <= 0)
        return;
    platform::SleepWithEvents(n * 1000);
}

std::optional<qint16> GetCapsLock(KeyBackend &backend, QString *error)
{
    bool on = false;
    std::string why;
    if (!backend.capsLock(on, why)) {
        if (error)
            *error = fromStd(why);
        return std::nullopt;
    }
    return qint16(on ? 1 : 0);
}

bool SetCapsLock(KeyBackend &backend, qint16 flag, QString *error)
{
    std::string why;
    if (backend.setCapsLock(flag == 1, why))
        return true;
    if (error)
        *error = fromStd(why);
    return false;
}

QString ProgressText(const RunProgress &p)
{
    if (!p.op)
        return {};
    const Operation &op = *p.op;
    QString what;
    switch (op.kind) {
    case Kind::Delete: what = QStringLiteral("前回のエクスポートファイルを削除"); break;
    case Kind::Activate: what = QStringLiteral("「%1」をアクティブにします").arg(op.text); break;
    case Kind::Wait:
        what = op.waitBox.isEmpty() ? QStringLiteral("%1 秒待ち").arg(op.seconds)
                                    : QStringLiteral("%1 秒待ち (%2)").arg(op.seconds).arg(op.waitBox);
        break;
    case Kind::Keys: what = QStringLiteral("キー送信 %1").arg(op.text); break;
    case Kind::Type: what = QStringLiteral("ファイル名を入力 %1").arg(op.text); break;
    case Kind::Split: what = QStringLiteral("タイムランクファイルを作成"); break;
    case Kind::AppendComments: what = QStringLiteral("結果コメントを追記"); break;
    case Kind::CapsLockOnIfOff: what = QStringLiteral("Caps Lock を確認"); break;
    }
    if (op.race <= 0)
        return what;
    return QStringLiteral("レース %1 / %2：").arg(op.race).arg(p.races) + what;
}

RunResult RunScript(const Script &script, KeyBackend &backend, const RunOptions &options)
{
    RunResult r;
    auto stop = [&](const QString &text) {
        r.messages.push_back(platform::Critical(text));
        return r;
    };
    const std::size_t n = script.operations.size();
    // Every key string is parsed before the first key goes out.
    std::vector<std::vector<KeyAction>> actions(n);
    for (std::size_t i = 0; i < n; ++i) {
        const Operation &op = script.operations[i];
        if (op.kind == Kind::Keys) {
            KeyParse parsed = ParseKeyString(op.text.toStdString());
            if (!parsed.ok())
                return stop(withReason(
                    QStringLiteral("キー文字列を解釈できません． ( ") + op.text + QStringLiteral(" )"), parsed.error));
            actions[i] = std::move(parsed.actions);
        } else if (op.kind == Kind::Type && !TextActions(op.text.toStdString(), actions[i])) {
            return stop(QStringLiteral("入力できない文字があるため，実行を中止しました．キーは送信しません． ( ") +
                        op.text + QStringLiteral(" )"));
        }
    }

    auto *observer = dynamic_cast<RunObserver *>(&backend);
    for (std::size_t i = 0; i < n; ++i) {
        const Operation &op = script.operations[i];
        if (options.progress)
            options.progress({&op, int(i), int(n), script.races});
        if (observer)
            observer->operationStarted(op);
        std::string why;
        switch (op.kind) {
        case Kind::Delete:
            // A stale export would mix with what the host writes now.
            if (platform::fileExists(op.text) && !QFile::remove(op.text))
                return stop(QStringLiteral("前回のエクスポートファイルを削除できないため，実行を中止しました． ( ") +
                            op.text + QStringLiteral(" )"));
            break;
        case Kind::Activate:
            if (!backend.activate(op.text.toStdString(), why) && keysFollow(script, i + 1))
                return stop(withReason(
                    QStringLiteral(
                        "「%1」のウィンドウをアクティブにできないため，実行を中止しました．キーは送信しません．")
                        .arg(op.text),
                    why));
            // Taking the focus back at the end may fail harmlessly: no key follows.
            break;
        case Kind::Wait:
            if (observer && observer->replacesWaits())
                break;
            if (options.wait)
                options.wait(op.seconds);
            else
                WaitSeconds(op.seconds);
            break;
        case Kind::Keys:
        case Kind::Type:
            if (!actions[i].empty() && !backend.send(actions[i], why))
                return stop(withReason(QStringLiteral("キーを送信できないため，実行を中止しました． ( ") + op.text +
                                           QStringLiteral(" )"),
                                       why));
            break;
        case Kind::Split: {
            r.split = SplitTimeRankText(script.exportPath, script.outputFolder, script.kind);
            r.messages.insert(r.messages.end(), r.split->messages.begin(), r.split->messages.end());
            if (!r.split->written())
                return r;
            break;
        }
        case Kind::AppendComments: {
            CommentAppend c = AppendResultComments(script.exportPath, script.outputFolder, op.race);
            r.messages.insert(r.messages.end(), c.messages.begin(), c.messages.end());
            if (!c.appended())
                return r;
            r.comments.push_back(std::move(c));
            break;
        }
        case Kind::CapsLockOnIfOff: {
            QString error;
            const auto on = GetCapsLock(backend, &error);
            if (!on || (*on == 0 && !SetCapsLock(backend, 1, &error)))
                return stop(QStringLiteral("Caps Lock を設定できません． ( ") + error + QStringLiteral(" )"));
            break;
        }
        }
    }
    r.completed = true;
    return r;
}

void SetBackendFactory(BackendFactory f) { factory() = std::move(f); }

std::unique_ptr<KeyBackend> CreateBackend() { return factory() ? factory()() : nullptr; }

} // namespace korvin::host
