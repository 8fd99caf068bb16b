#pragma once
// A key backend that presses nothing: it logs what a run asks of it, one line
// per operation in the dry-run format, so a recorded run can be compared with
// the printed one. Pauses are logged, not taken.
#include "host/runner.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

namespace korvin::host {

struct Recording {
    QStringList log;                       // dry-run lines, in order
    QStringList windows{kHostWindowTitle}; // titles of the windows that exist
    bool capsLock = false;                 // the desktop's Caps Lock state
    int sends = 0;                         // send calls
    int keys = 0;                          // keys pressed
    // What the guard finds before each key (a test may take the focus away
    // or close the host); unset: the activated window keeps the focus.
    std::function<FocusCheck()> focus;
    // Called after each line is logged (a test may play the host there).
    std::function<void(const QString &line)> onLogged;
};

class RecordingBackend : public KeyBackend, public RunObserver {
public:
    explicit RecordingBackend(std::shared_ptr<Recording> recording = std::make_shared<Recording>());
    const std::shared_ptr<Recording> &recording() const { return m_rec; }

    // Exact title first, then one that begins with it.
    bool activate(const std::string &title, std::string &error) override;
    // Logged as the key string or text announced for it when the actions are
    // exactly what that string gives; otherwise as ["send", "key F8; char a +shift"].
    bool send(const std::vector<KeyAction> &actions, std::string &error) override;
    FocusCheck checkFocus(std::string &detail) override;
    bool capsLock(bool &on, std::string &error) override;

    void operationStarted(const Operation &op) override;
    bool replacesWaits() const override { return true; }

private:
    std::shared_ptr<Recording> m_rec;
    std::optional<Operation> m_announced; // the key string or text about to be sent
    void log(const QString &line);
};

} // namespace korvin::host
