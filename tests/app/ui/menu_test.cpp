#include "platform/dialogs.h"
#include "common/settings.h"
#include "app/ui/frmMenu.h"
#include "app/ui/frmOption.h"
#include "platform/ui/frmWait.h"
#include "support/testutil.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace korvin;
using korvin::app::ui::frmMenu;
using korvin::app::ui::frmOption;

namespace {

TEST(MenuWindow, CaptionsAndStaticLabels)
{
    frmMenu menu;
    EXPECT_EQ(menu.windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor "));
    // "&&" is the access-key escape: the user sees a single "&".
    const std::pair<int, const char16_t *> captions[] = {
        {1, u"出馬表CSV && VTX分析"}, {2, u"タイムランク分析"}, {3, u"結果コメント設定"},
        {4, u"ファイルメンテナンス"}, {99, u"Option"},          {0, u"Quit"}};
    for (const auto &[index, caption] : captions) {
        QPushButton *b = menu.findChild<QPushButton *>(QStringLiteral("cmdMenu_%1").arg(index));
        ASSERT_NE(b, nullptr) << index;
        EXPECT_EQ(b->text(), QString::fromUtf16(caption));
    }
    EXPECT_EQ(menu.findChild<QLabel *>(QStringLiteral("LabelTitle"))->text(), QStringLiteral("Korvin"));
    EXPECT_EQ(menu.findChild<QLabel *>(QStringLiteral("LabelVersion"))->text(), QStringLiteral("Version 1.00"));
    EXPECT_EQ(menu.findChild<QLabel *>(QStringLiteral("Label1"))->text(), QStringLiteral("Tipwise for Vantor"));
    EXPECT_NE(menu.findChild<QLabel *>(QStringLiteral("LabelDataDate")), nullptr);
}

// Each button opens its own window in place of the menu, every time; closing
// the window shows the menu again where the user left it, and a window opened
// anew comes back where it was.
TEST(MenuWindow, ButtonsOpenTheirOwnWindowsWhereTheUserLeftThem)
{
    test::ScratchHome home;
    home.writeDefaultSettings();
    platform::ScopedRecordingDialogs dialogs;
    frmMenu menu;
    const std::pair<int, const char *> rows[] = {{1, "frmFileSelectDenCSV"},
                                                 {2, "frmTimeRankText"},
                                                 {3, "frmCommentSet"},
                                                 {4, "frmFileMenu"},
                                                 {99, "frmOption"}};
    for (const auto &[index, window] : rows) {
        SCOPED_TRACE(index);
        for (int round = 0; round < 2; ++round) {
            menu.show();
            menu.move(321, 123 + round);
            ASSERT_TRUE(menu.cmdMenu(index)->isEnabled());
            menu.cmdMenu(index)->click();
            EXPECT_FALSE(menu.isVisible());
            QWidget *w = menu.openedWindow();
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->objectName(), QString::fromLatin1(window));
            EXPECT_TRUE(w->isVisible());
            if (round == 0) {
                w->move(222, 111);
                w->resize(700, 500);
            } else {
                EXPECT_EQ(w->pos(), QPoint(222, 111));
                EXPECT_EQ(w->size(), QSize(700, 500));
            }
            w->close();
            QApplication::processEvents();
            EXPECT_TRUE(menu.isVisible());
            EXPECT_EQ(menu.pos(), QPoint(321, 123 + round));
        }
    }
    EXPECT_TRUE(home.fatalMessages.isEmpty());
}

// Quit, or closing the menu by its frame, ends the program.
TEST(MenuWindow, QuitEndsTheProgram)
{
    for (bool byFrame : {false, true}) {
        SCOPED_TRACE(byFrame ? "frame" : "Quit");
        frmMenu menu;
        menu.show();
        QSignalSpy quit(&menu, &frmMenu::quitRequested);
        if (byFrame)
            menu.close();
        else
            menu.cmdMenu(0)->click();
        EXPECT_EQ(quit.count(), 1);
        EXPECT_FALSE(menu.isVisible());
        for (QWidget *w : QApplication::topLevelWidgets())
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    }
}

TEST(OptionWindow, ShowsPairsAndOkWritesCancelDoesNot)
{
    test::ScratchHome home;
    const QStringList lines{QStringLiteral("# settings"), QStringLiteral("MData     /m/"),
                            QStringLiteral("SDataON   1"), QStringLiteral("Wait1     12")};
    home.writeLines(QStringLiteral("Korvin.ini"), lines);
    const QByteArray original = home.readBytes(QStringLiteral("Korvin.ini"));
    platform::ScopedRecordingDialogs dialogs;
    frmMenu menu;

    menu.cmdMenu(99)->click();
    auto *option = qobject_cast<frmOption *>(menu.openedWindow());
    ASSERT_NE(option, nullptr);
    EXPECT_EQ(option->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / Option"));
    EXPECT_EQ(option->Label(0)->text(), QStringLiteral("MData     "));
    EXPECT_EQ(option->Text(0)->text(), QStringLiteral("/m/"));
    EXPECT_EQ(option->Label(2)->text(), QStringLiteral("Wait1     "));
    EXPECT_TRUE(option->Label(2)->isVisibleTo(option));
    EXPECT_FALSE(option->Label(3)->isVisibleTo(option));
    EXPECT_FALSE(option->Text(14)->isVisibleTo(option));

    option->Text(1)->setText(QStringLiteral("0"));
    option->cmdOption(1)->click(); // Cancel
    QApplication::processEvents();
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(home.readBytes(QStringLiteral("Korvin.ini")), original);

    menu.cmdMenu(99)->click();
    option = qobject_cast<frmOption *>(menu.openedWindow());
    ASSERT_NE(option, nullptr);
    option->Text(1)->setText(QStringLiteral("0"));
    option->Text(2)->setText(QStringLiteral("30"));
    option->cmdOption(0)->click(); // OK
    QApplication::processEvents();
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(home.readBytes(QStringLiteral("Korvin.ini")),
              QByteArray("# settings\r\nMData     /m/\r\nSDataON   0\r\nWait1     30\r\n"));
    EXPECT_EQ(common::Settings.SDataON, QStringLiteral("0")) << "settings are loaded again after a save";
    EXPECT_EQ(common::Settings.Wait1, 30);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(OptionWindow, FailedSaveKeepsWindowOpenAndSaysSo)
{
    test::ScratchHome home;
    home.writeLines(QStringLiteral("Korvin.ini"), {QStringLiteral("SDataON   1")});
    platform::ScopedRecordingDialogs dialogs;
    frmMenu menu;
    menu.cmdMenu(99)->click();
    auto *option = qobject_cast<frmOption *>(menu.openedWindow());
    ASSERT_NE(option, nullptr);
    // The settings file vanishes while the window is open.
    QFile::remove(home.path(QStringLiteral("Korvin.ini")));
    option->cmdOption(0)->click();
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
    EXPECT_TRUE(option->isVisible());
    option->close();
}

// A box the loader could not read back, or a character the file cannot hold:
// the window says which box, writes nothing and stays open with the edits.
TEST(OptionWindow, RefusesBoxesItCannotSave)
{
    test::ScratchHome home;
    home.writeLines(QStringLiteral("Korvin.ini"), {QStringLiteral("MData     /m/"), QStringLiteral("Wait1     12")});
    const QByteArray original = home.readBytes(QStringLiteral("Korvin.ini"));
    const struct {
        int box;
        const char16_t *text;
        const char16_t *reason;
    } cases[] = {{1, u"99999", u"Wait1 には -32768～32767 の整数を入れて下さい． ( 99999 )"},
                 {0, u"/home/café/", u"MData の「é」は Shift-JIS で保存できない文字です．"},
                 {0, u"/home/m/\r", u"MData に制御文字 (U+000D) があります．"}};
    for (const auto &c : cases) {
        platform::ScopedRecordingDialogs dialogs;
        frmOption option(nullptr);
        option.show();
        option.Text(c.box)->setText(QString::fromUtf16(c.text));
        option.cmdOption(0)->click();
        const QString head =
            QStringLiteral("設定ファイルを保存できません． ( %1 )\n").arg(home.path(QStringLiteral("Korvin.ini")));
        EXPECT_EQ(dialogs.texts(), QStringList{head + QString::fromUtf16(c.reason)});
        EXPECT_TRUE(option.isVisible());
        EXPECT_EQ(home.readBytes(QStringLiteral("Korvin.ini")), original);
    }
}

TEST(WaitWindow, LabelAndBar)
{
    platform::ui::frmWait wait;
    EXPECT_EQ(wait.windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor / Just a moment"));
    EXPECT_EQ(wait.Label1()->text(), QStringLiteral("しばらくお待ち下さい．"));
    EXPECT_NE(wait.ProgressBar(), nullptr);
}

} // namespace
