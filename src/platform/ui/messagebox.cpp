#include "platform/ui/messagebox.h"

#include <QApplication>
#include <QMessageBox>

namespace korvin::platform::ui {
namespace {
QWidget *parentWindow() { return QApplication::activeWindow(); }
} // namespace

void QtDialogs::information(const QString &text) { QMessageBox::information(parentWindow(), kMessageCaption, text); }

void QtDialogs::critical(const QString &text) { QMessageBox::critical(parentWindow(), kMessageCaption, text); }

Answer QtDialogs::question(const QString &text)
{
    return QMessageBox::question(parentWindow(), kMessageCaption, text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::Yes) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

Answer QtDialogs::warningYesNo(const QString &text)
{
    return QMessageBox::warning(parentWindow(), kMessageCaption, text, QMessageBox::Yes | QMessageBox::No,
                                QMessageBox::Yes) == QMessageBox::Yes
               ? Answer::Yes
               : Answer::No;
}

} // namespace korvin::platform::ui
