#include "host/ui/runboxes.h"

#include "common/settings.h"
#include "platform/dialogs.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace korvin::host::ui {

RunBoxControls RunBoxControls::create(QWidget *window)
{
    RunBoxControls c;
    c.layout = new QGridLayout;
    for (int i = 0; i < 3; ++i) {
        c.waitLabels[i] = new QLabel(QStringLiteral("Wait%1：").arg(i + 1), window);
        c.waitLabels[i]->setObjectName(QStringLiteral("LabelWait_%1").arg(i));
        c.waits[i] = new QLineEdit(window);
        c.waits[i]->setObjectName(QStringLiteral("TextWait_%1").arg(i));
        c.waits[i]->setMaximumWidth(60);
        c.layout->addWidget(c.waitLabels[i], i, 0);
        c.layout->addWidget(c.waits[i], i, 1);
        c.layout->addWidget(new QLabel(QStringLiteral("s"), window), i, 2);
    }
    c.repeatLabel = new QLabel(QStringLiteral("Repeat："), window);
    c.repeatLabel->setObjectName(QStringLiteral("LabelRepeat"));
    c.repeat = new QLineEdit(QStringLiteral("1"), window);
    c.repeat->setObjectName(QStringLiteral("TextRepeat"));
    c.repeat->setMaximumWidth(60);
    c.layout->addWidget(c.repeatLabel, 3, 0);
    c.layout->addWidget(c.repeat, 3, 1);
    c.layout->addWidget(new QLabel(QStringLiteral("R"), window), 3, 2);
    return c;
}

void RunBoxControls::showSettings()
{
    waits[0]->setText(QString::number(common::Settings.Wait1));
    waits[1]->setText(QString::number(common::Settings.Wait2));
    waits[2]->setText(QString::number(common::Settings.Wait3));
}

RunBoxes RunBoxControls::texts() const
{
    RunBoxes b;
    for (int i = 0; i < 3; ++i)
        b.waits[i] = waits[i]->text();
    b.repeat = repeat->text();
    return b;
}

std::optional<RunResult> RunFromWindow(const Script &script, QPushButton *run, QLabel *status)
{
    std::unique_ptr<KeyBackend> backend = CreateBackend();
    if (!backend) {
        platform::dialogs().critical(QStringLiteral("キーを送信する仕組みがないため，実行できません．"));
        return std::nullopt;
    }
    // The run processes events while it waits: a second click must not start
    // a second script into the same host.
    run->setEnabled(false);
    RunOptions options;
    options.progress = [status](const RunProgress &p) { status->setText(ProgressText(p)); };
    RunResult result = RunScript(script, *backend, options);
    status->clear();
    run->setEnabled(true);
    return result;
}

} // namespace korvin::host::ui
