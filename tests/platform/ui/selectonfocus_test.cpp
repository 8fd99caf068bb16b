#include "platform/ui/selectonfocus.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

TEST(SelectOnFocus, EnteringTheBoxSelectsItsWholeText)
{
    QLineEdit box(QStringLiteral("◎A"));
    QLineEdit plain(QStringLiteral("xy"));
    korvin::platform::ui::selectAllOnFocus(&box);
    for (QLineEdit *b : {&box, &plain}) {
        b->deselect();
        QFocusEvent in(QEvent::FocusIn, Qt::MouseFocusReason);
        QApplication::sendEvent(b, &in);
        QApplication::processEvents();
    }
    EXPECT_EQ(box.selectedText(), QStringLiteral("◎A"));
    EXPECT_EQ(plain.selectedText(), QString()) << "only boxes asked for it";
}
