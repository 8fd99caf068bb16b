#include "host/runner.h"

#include "host/keynotation.h"
#include "platform/events.h"
#include "platform/bytelines.h"
#include "platform/textfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

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

} // namespace

bool WaitSeconds(int n, const std::function<bool()> &stop)
{
    if (n <= 0)
        return true;
    QElapsedTimer t;
    t.start();
    const qint64 ms = qint64(n) * 1000;
    while (t.elapsed() < ms) {
        if (stop && stop())
            return false;
        platform::SleepWithEvents(int(qMin<qint64>(20, ms - t.elapsed())));
    }
    return true;
}

namespace {

// Byte 20 (Caps Lock) of Korvin's own keyboard state, once SetCapsLock has
// written it; the other 255 bytes are never changed, so none is kept.
std::optional<quint8> &ownCapsByte()
{
    static std::optional<quint8> byte;
    return byte;
}

} // namespace

std::optional<qint16> GetCapsLock(KeyBackend &backend, QString *error)
{
    if (ownCapsByte())
        return qint16(*ownCapsByte() != 0 ? 1 : 0);
    bool on = false;
    std::string why;
    if (!backend.capsLock(on, why)) {
        if (error)
            *error = fromStd(why);
        return std::nullopt;
    }
    return qint16(on ? 1 : 0);
}

void SetCapsLock(qint16 flag) { ownCapsByte() = quint8(flag == 1 ? 129 : 0); }

void ResetOwnKeyboardState() { ownCapsByte().reset(); }

bool WaitForSettledFile(const QString &path, int quietMs, int timeoutMs, const std::function<bool()> &stop)
{
    QElapsedTimer total, quiet;
    total.start();
    qint64 lastSize = -1;
    for (;;) {
        const QFileInfo info(path);
        const qint64 size = info.exists() ? info.size() : -1;
        if (size != lastSize) {
            lastSize = size;
            quiet.start();
        } else if (size >= 0 && quiet.elapsed() >= quietMs) {
            return true;
        }
        if (total.elapsed() >= timeoutMs || (stop && stop()))
            return false;
        platform::SleepWithEvents(20);
    }
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
    case Kind::CheckExport: what = QStringLiteral("エクスポートを確認"); break;
    case Kind::Split: what = QStringLiteral("タイムランクファイルを作成"); break;
    case Kind::AppendComments: what = QStringLiteral("結果コメントを追記"); break;
    case Kind::CapsLockOnIfOff: what = QStringLiteral("Caps Lock を確認"); break;
    }
    if (op.race <= 0)
        return what;
    return QStringLiteral("レース %1 / %2：").arg(op.race).arg(p.races) + what;
}

namespace {

// Where the host must be before a run, said when its first export is missing.
QString screenHint(const Script &script)
{
    return script.exportPath.endsWith(QStringLiteral("Comment.txt"))
               ? QStringLiteral("Vantor で成績の画面を表示し，対象レースにカーソルを合わせてから実行して下さい．"
                                "（メインメニュー => 成績 => 開催選択 => 対象レースにカーソルセット）")
               : QStringLiteral(
                     "Vantor でランキングを出力できる出馬表の画面を表示し，対象レースにカーソルを合わせてから"
                     "実行して下さい．");
}

// One run: the script's operations in order, each checked, on one backend.
class Run {
public:
    Run(const Script &script, KeyBackend &backend, const RunOptions &options)
        : m_script(script), m_backend(backend), m_options(options)
    {
    }

    RunResult go();

private:
    bool stopRequested() const { return m_options.stopRequested && m_options.stopRequested(); }
    bool timeRank() const { return m_script.exportPath.endsWith(QStringLiteral("TimeRank.txt")); }
    int timeoutMs() const { return m_script.exportTimeoutSeconds * 1000; }
    bool settled() const
    {
        return WaitForSettledFile(m_script.exportPath, m_options.exportQuietMs, timeoutMs(), m_options.stopRequested);
    }

    void critical(const QString &text) { m_r.messages.push_back(platform::Critical(text)); }
    bool parseAll();
    // One operation; false ends the run. Each kind has a step of its own.
    bool step(std::size_t i);
    bool deleteStaleExport(const Operation &op);
    bool activate(const Operation &op);
    bool wait(const Operation &op);
    bool sendKeys(std::size_t i);
    bool splitAllRaces();
    bool capsLockOnIfOff();
    bool interrupt(KeyFault fault, int race, const std::string &why);
    enum class Read { Whole, TimedOut, Stopped };
    // Reads the export once it has settled, and again while `whole` says it
    // is not, until the time is up or the user stops the run.
    Read untilWhole(const std::function<bool(bool settled)> &whole);
    void splitFinishedRaces();
    bool endAtLastRace();
    bool checkExport(const Operation &op);
    void notExported(int race, const QString &what);
    bool appendComments(const Operation &op);
    // The index of the first operation after the races (the closing keys).
    std::size_t closingIndex() const;

    const Script &m_script;
    KeyBackend &m_backend;
    const RunOptions &m_options;
    RunResult m_r;
    std::vector<std::vector<KeyAction>> m_actions;
    std::size_t m_next = 0; // the operation after the current one
};

bool Run::parseAll()
{
    // Every key string is parsed before the first key goes out.
    const std::size_t n = m_script.operations.size();
    m_actions.assign(n, {});
    for (std::size_t i = 0; i < n; ++i) {
        const Operation &op = m_script.operations[i];
        if (op.kind == Kind::Keys) {
            KeyParse parsed = ParseKeyString(op.text.toStdString());
            if (!parsed.ok()) {
                critical(withReason(QStringLiteral("キー文字列を解釈できません． ( ") + op.text + QStringLiteral(" )"),
                                    parsed.error));
                return false;
            }
            m_actions[i] = std::move(parsed.actions);
        } else if (op.kind == Kind::Type && !TextActions(op.text.toStdString(), m_actions[i])) {
            critical(QStringLiteral("入力できない文字があるため，実行を中止しました．キーは送信しません． ( ") +
                     op.text + QStringLiteral(" )"));
            return false;
        }
    }
    return true;
}

std::size_t Run::closingIndex() const
{
    std::size_t i = m_next;
    while (i < m_script.operations.size() && m_script.operations[i].race > 0)
        ++i;
    return i;
}

// The run stops where it is: no further key; what the host finished is kept.
bool Run::interrupt(KeyFault fault, int race, const std::string &why)
{
    m_r.interrupted = fault;
    // Between a race's last key and the next race's first, the next one is the one stopped.
    if (race > 0 && race <= m_r.racesDone)
        race = qMin(m_r.racesDone + 1, m_script.races);
    const QString host = QStringLiteral("「") + kHostWindowTitle + QStringLiteral("」");
    QString what;
    switch (fault) {
    case KeyFault::WindowClosed: what = host + QStringLiteral("が閉じられたため，"); break;
    case KeyFault::Stopped: what = QStringLiteral("中止の指示により，"); break;
    default: what = host + QStringLiteral("のフォーカスが外れたため，"); break;
    }
    const QString where = race > 0 ? QStringLiteral("レース %1 / %2 の途中で").arg(race).arg(m_script.races)
                                   : QStringLiteral("レースに入る前に");
    QString text = what + where + QStringLiteral("実行を中止しました．それ以降のキーは送信していません．");
    if (!why.empty() && fault != KeyFault::Stopped)
        text += QStringLiteral(" ( ") + fromStd(why) + QStringLiteral(" )");
    if (timeRank()) {
        if (m_r.racesDone == 0) {
            critical(text + QStringLiteral("\n完了したレースがないため，タイムランクファイルは書き込んでいません．"));
            return false;
        }
        critical(text +
                 QStringLiteral("\n完了した %1 レースをタイムランクファイルに書き込みます．").arg(m_r.racesDone));
        settled();
        splitFinishedRaces();
        return false;
    }
    critical(text +
             (m_r.comments.empty()
                  ? QStringLiteral("\n結果コメントは書き込んでいません．")
                  : QStringLiteral("\n完了した %1 レースの結果コメントは書き込み済みです．").arg(m_r.comments.size())));
    return false;
}

// After a race of a time-rank run: its 36 exports are in the file, and it is
// not the race before it again (the host stays on its last race).
// The host wrote nothing for the race: the first race says where the host must be.
void Run::notExported(int race, const QString &what)
{
    QString text = QStringLiteral("レース %1 / %2 の").arg(race).arg(m_script.races) + what +
                   QStringLiteral("がエクスポートされませんでした．実行を中止しました． ( ") + m_script.exportPath +
                   QStringLiteral(" )");
    if (race == 1)
        text += QStringLiteral("\n") + screenHint(m_script);
    critical(text);
}

Run::Read Run::untilWhole(const std::function<bool(bool settled)> &whole)
{
    QElapsedTimer since;
    since.start();
    for (;;) {
        const bool ready = settled();
        if (stopRequested())
            return Read::Stopped;
        if (whole(ready))
            return Read::Whole;
        if (since.elapsed() >= timeoutMs())
            return Read::TimedOut;
        platform::SleepWithEvents(50);
    }
}

void Run::splitFinishedRaces()
{
    m_r.split = SplitTimeRankText(m_script.exportPath, m_script.outputFolder, m_script.kind, m_r.racesDone);
    m_r.messages.insert(m_r.messages.end(), m_r.split->messages.begin(), m_r.split->messages.end());
}

bool Run::endAtLastRace()
{
    // No further PgDn: the host has nowhere to go.
    m_r.reachedLastRace = true;
    m_next = closingIndex();
    return true;
}

bool Run::checkExport(const Operation &op)
{
    // The host may still be busy with the race's last keys: its exports grow
    // until the race is whole, or the time is up.
    ExportProgress progress;
    const Read read = untilWhole([&](bool ready) {
        const auto bytes = ready ? platform::readFileBytes(m_script.exportPath) : std::nullopt;
        progress = bytes ? ReadExportProgress(*bytes) : ExportProgress{};
        return progress.races >= op.race;
    });
    if (read == Read::Stopped)
        return interrupt(KeyFault::Stopped, op.race, {});
    if (read == Read::TimedOut) {
        notExported(op.race, QStringLiteral("ランキング"));
        if (m_r.racesDone > 0)
            splitFinishedRaces();
        return false;
    }
    if (progress.lastRepeats)
        return endAtLastRace(); // the split writes that race once
    m_r.racesDone = op.race;
    return true;
}

bool Run::appendComments(const Operation &op)
{
    // An export read while the host still writes it appends nothing and says
    // why; it is read again until it is whole or the time is up.
    const QString previous = m_r.comments.empty() ? QString() : m_r.comments.back().raceKey;
    CommentAppend c;
    bool exported = false;
    const Read read = untilWhole([&](bool ready) {
        exported = exported || ready;
        if (ready)
            c = AppendResultComments(m_script.exportPath, m_script.outputFolder, op.race, previous);
        return ready && (c.appended() || c.repeated);
    });
    if (read == Read::Stopped)
        return interrupt(KeyFault::Stopped, op.race, {});
    if (!exported) {
        notExported(op.race, QStringLiteral("結果"));
        return false;
    }
    m_r.messages.insert(m_r.messages.end(), c.messages.begin(), c.messages.end());
    if (c.repeated)
        return endAtLastRace();
    if (!c.appended())
        return false;
    m_r.comments.push_back(std::move(c));
    m_r.racesDone = op.race;
    return true;
}

bool Run::deleteStaleExport(const Operation &op)
{
    // A stale export would mix with what the host writes now.
    if (!platform::fileExists(op.text) || QFile::remove(op.text))
        return true;
    critical(QStringLiteral("前回のエクスポートファイルを削除できないため，実行を中止しました． ( ") + op.text +
             QStringLiteral(" )"));
    return false;
}

bool Run::activate(const Operation &op)
{
    // Korvin's own window comes back directly, never by a title that
    // another window (an editor showing "Korvin.ini") may begin with.
    if (op.text == kOwnWindowTitle && m_options.activateOwnWindow) {
        m_options.activateOwnWindow();
        return true;
    }
    std::string why;
    // Taking the focus back at the end may fail harmlessly: no key follows.
    if (m_backend.activate(op.text.toStdString(), why) || op.text == kOwnWindowTitle)
        return true;
    critical(withReason(
        QStringLiteral("「%1」のウィンドウをアクティブにできないため，実行を中止しました．キーは送信しません．")
            .arg(op.text),
        why));
    return false;
}

bool Run::wait(const Operation &op)
{
    if (auto *observer = dynamic_cast<RunObserver *>(&m_backend); observer && observer->replacesWaits())
        return true;
    m_backend.waitUntilKeysRead();
    if (m_options.wait) {
        m_options.wait(op.seconds);
        return true;
    }
    return WaitSeconds(op.seconds, m_options.stopRequested) || interrupt(KeyFault::Stopped, op.race, {});
}

bool Run::sendKeys(std::size_t i)
{
    std::string why;
    if (m_actions[i].empty() || m_backend.send(m_actions[i], why))
        return true;
    const Operation &op = m_script.operations[i];
    const KeyFault fault = m_backend.lastFault();
    if (fault == KeyFault::FocusLost || fault == KeyFault::WindowClosed || fault == KeyFault::Stopped)
        return interrupt(fault, op.race, why);
    critical(withReason(
        QStringLiteral("キーを送信できないため，実行を中止しました． ( ") + op.text + QStringLiteral(" )"), why));
    return false;
}

bool Run::splitAllRaces()
{
    // The host may still be writing its last export.
    settled();
    m_r.split = SplitTimeRankText(m_script.exportPath, m_script.outputFolder, m_script.kind, m_script.races);
    m_r.messages.insert(m_r.messages.end(), m_r.split->messages.begin(), m_r.split->messages.end());
    return m_r.split->written();
}

bool Run::capsLockOnIfOff()
{
    QString error;
    const auto on = GetCapsLock(m_backend, &error);
    if (!on) {
        critical(QStringLiteral("Caps Lock の状態を読めません． ( ") + error + QStringLiteral(" )"));
        return false;
    }
    if (*on == 0)
        SetCapsLock(1);
    return true;
}

bool Run::step(std::size_t i)
{
    const Operation &op = m_script.operations[i];
    switch (op.kind) {
    case Kind::Delete: return deleteStaleExport(op);
    case Kind::Activate: return activate(op);
    case Kind::Wait: return wait(op);
    case Kind::Keys:
    case Kind::Type: return sendKeys(i);
    case Kind::CheckExport: return checkExport(op);
    case Kind::Split: return splitAllRaces();
    case Kind::AppendComments: return appendComments(op);
    case Kind::CapsLockOnIfOff: return capsLockOnIfOff();
    }
    return true;
}

RunResult Run::go()
{
    if (!parseAll())
        return m_r;
    m_backend.setStopRequest(m_options.stopRequested);
    auto *observer = dynamic_cast<RunObserver *>(&m_backend);
    const std::size_t n = m_script.operations.size();
    for (std::size_t i = 0; i < n; i = m_next) {
        m_next = i + 1;
        const Operation &op = m_script.operations[i];
        // A stop between two operations: before the next key, nothing more.
        if (stopRequested()) {
            interrupt(KeyFault::Stopped, op.race, {});
            break;
        }
        if (m_options.progress)
            m_options.progress({&op, int(i), int(n), m_script.races});
        if (observer)
            observer->operationStarted(op);
        if (!step(i)) {
            m_backend.setStopRequest({});
            return m_r;
        }
    }
    m_backend.setStopRequest({});
    m_r.completed = m_r.interrupted == KeyFault::NoFault;
    return m_r;
}

} // namespace

RunResult RunScript(const Script &script, KeyBackend &backend, const RunOptions &options)
{
    return Run(script, backend, options).go();
}

void SetBackendFactory(BackendFactory f) { factory() = std::move(f); }

std::unique_ptr<KeyBackend> CreateBackend() { return factory() ? factory()() : nullptr; }

} // namespace korvin::host
