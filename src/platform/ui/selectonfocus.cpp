#include "platform/ui/selectonfocus.h"

#include <QEvent>
#include <QLineEdit>
#include <QTimer>

namespace korvin::platform::ui {
namespace {

class SelectAllFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Deferred: the click that gives the focus would otherwise place the
        // cursor and undo the selection.
        if (event->type() == QEvent::FocusIn)
            if (auto *box = qobject_cast<QLineEdit *>(watched))
                QTimer::singleShot(0, box, &QLineEdit::selectAll);
        return false;
    }
};

} // namespace

void selectAllOnFocus(QLineEdit *box) { box->installEventFilter(new SelectAllFilter(box)); }

} // namespace korvin::platform::ui
