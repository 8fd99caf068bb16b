#include "platform/ui/qttranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTranslator>
#include <gtest/gtest.h>

// Qt's standard buttons and dialogs speak Japanese once the program starts.
TEST(QtTranslations, StandardButtonsAreJapanese)
{
    QTranslator *translator = korvin::platform::ui::InstallQtTranslations(*qApp);
    ASSERT_NE(translator, nullptr) << "qtbase_ja.qm not found";
    struct Row {
        QDialogButtonBox::StandardButton button;
        const char *text;
    };
    const Row rows[] = {
        {QDialogButtonBox::Yes, "はい(&Y)"},
        {QDialogButtonBox::No, "いいえ(&N)"},
        {QDialogButtonBox::Cancel, "キャンセル"},
        {QDialogButtonBox::Save, "保存"},
    };
    QDialogButtonBox box;
    for (const Row &row : rows)
        EXPECT_EQ(box.addButton(row.button)->text(), QString::fromUtf8(row.text)) << row.text;
    QApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(QDialogButtonBox().addButton(QDialogButtonBox::No)->text(), QStringLiteral("&No"));
}
