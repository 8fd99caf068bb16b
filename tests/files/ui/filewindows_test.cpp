#include "files/ui/frmFileLZH.h"
#include "files/ui/frmFileMenu.h"
#include "app/ui/frmMenu.h"

#include "platform/dialogs.h"
#include "support/testutil.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QtTest/QTest>
#include <gtest/gtest.h>

using namespace korvin;
using korvin::files::ui::frmFileLZH;
using korvin::files::ui::frmFileMenu;

namespace {

frmFileMenu *openFileMenu(app::ui::frmMenu &menu)
{
    QTest::mouseClick(menu.cmdMenu(4), Qt::LeftButton);
    return qobject_cast<frmFileMenu *>(menu.openedWindow());
}

} // namespace

TEST(FileMenu, OpensFromTheMainMenuAndShowsItAgainWhenClosed)
{
    test::ScratchHome home;
    for (bool byFrame : {false, true}) {
        SCOPED_TRACE(byFrame ? "closed by its frame" : "closed by Close");
        app::ui::frmMenu menu;
        menu.show();
        ASSERT_TRUE(menu.cmdMenu(4)->isEnabled());
        EXPECT_EQ(menu.cmdMenu(4)->text(), QStringLiteral("ファイルメンテナンス"));
        QPointer<frmFileMenu> w = openFileMenu(menu);
        ASSERT_TRUE(w);
        EXPECT_TRUE(w->isVisible());
        EXPECT_FALSE(menu.isVisible());
        EXPECT_EQ(w->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / FileMenu"));
        if (byFrame)
            w->close();
        else
            QTest::mouseClick(w->cmdFileMenu(0), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(w);
        EXPECT_TRUE(menu.isVisible());
    }
}

TEST(FileMenu, SeventeenButtonsOnlyTwoAct)
{
    test::ScratchHome home;
    QWidget opener;
    auto *w = new frmFileMenu(&opener);
    w->show();
    EXPECT_EQ(w->cmdFileMenu(0)->text(), QStringLiteral("Close"));
    EXPECT_EQ(w->cmdFileMenu(1)->text(), QStringLiteral("LZHファイルコピー"));
    for (int i = 2; i < frmFileMenu::kButtons; ++i) {
        EXPECT_EQ(w->cmdFileMenu(i)->objectName(), QStringLiteral("cmdFileMenu_%1").arg(i));
        EXPECT_TRUE(w->cmdFileMenu(i)->text().isEmpty());
        QTest::mouseClick(w->cmdFileMenu(i), Qt::LeftButton);
        EXPECT_TRUE(w->isVisible());
        EXPECT_EQ(w->openedWindow(), nullptr);
    }
    QTest::mouseClick(w->cmdFileMenu(1), Qt::LeftButton);
    auto *lzh = qobject_cast<frmFileLZH *>(w->openedWindow());
    ASSERT_NE(lzh, nullptr);
    EXPECT_TRUE(lzh->isVisible());
    EXPECT_TRUE(lzh->isModal());
    EXPECT_EQ(lzh->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / Copy LZH"));
    // The file menu stays open behind the copy window.
    EXPECT_TRUE(w->isVisible());
    lzh->close();
    EXPECT_TRUE(w->isVisible());
    w->close();
}

TEST(FileLZH, CaptionsAndEmptyBoxesWithoutAList)
{
    test::ScratchHome home;
    frmFileLZH *w = new frmFileLZH(nullptr);
    EXPECT_EQ(w->LabelTitle()->text(), QStringLiteral("LZHファイルコピー"));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(w->LabelPath(i)->text(), i == 0 ? QStringLiteral("コピー元フォルダ名")
                                                  : QStringLiteral("コピー先フォルダ名") + QChar(u'０' + i));
        EXPECT_TRUE(w->TextPath(i)->text().isEmpty());
        EXPECT_EQ(w->TextPath(i)->objectName(), QStringLiteral("TextPath_%1").arg(i));
    }
    EXPECT_FALSE(w->CheckDel()->isChecked());
    EXPECT_EQ(w->LabelDel()->text(), QStringLiteral("コピー元ファイル削除"));
    EXPECT_EQ(w->cmdFileLZH(0)->text(), QStringLiteral("Close"));
    EXPECT_EQ(w->cmdFileLZH(1)->text(), QStringLiteral("OK"));
    delete w;
}

TEST(FileLZH, OpensWithTheSavedListAndCloseWritesNothing)
{
    test::ScratchHome home;
    const QStringList saved{
        QStringLiteral("1"), QStringLiteral("C:\\受信"), QStringLiteral("D:\\a"), QString(), QStringLiteral("E:\\c"),
        QString(),           QStringLiteral("F:\\e")};
    home.writeLines(QStringLiteral("CopyLZH.lst"), saved);
    const QByteArray before = home.readBytes(QStringLiteral("CopyLZH.lst"));
    platform::ScopedRecordingDialogs dialogs;
    QPointer<frmFileLZH> w = new frmFileLZH(nullptr);
    w->show();
    EXPECT_TRUE(w->CheckDel()->isChecked());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w->TextPath(i)->text(), saved[i + 1]);
    w->TextPath(1)->setText(QStringLiteral("changed"));
    QTest::mouseClick(w->cmdFileLZH(0), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
    EXPECT_EQ(home.readBytes(QStringLiteral("CopyLZH.lst")), before);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(FileLZH, OkSavesTheBoxesCopiesAndCloses)
{
    test::ScratchHome home;
    QString src = home.makeFolder(QStringLiteral("src"));
    src.chop(1);
    QString dst = home.makeFolder(QStringLiteral("dst"));
    dst.chop(1);
    ASSERT_TRUE(test::writeFile(src + QStringLiteral("/r1.LZH"), "archive"));
    platform::ScopedRecordingDialogs dialogs;
    dialogs.answers.push_back(platform::Answer::No);
    QWidget fileMenu;
    fileMenu.show();
    QPointer<frmFileLZH> w = new frmFileLZH(&fileMenu);
    w->show();
    w->TextPath(0)->setText(src);
    w->TextPath(2)->setText(dst);
    w->CheckDel()->setChecked(true);
    QTest::mouseClick(w->cmdFileLZH(1), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    EXPECT_FALSE(w);
    EXPECT_TRUE(fileMenu.isVisible());
    EXPECT_EQ(test::readFile(dst + QStringLiteral("/r1.LZH")), QByteArray("archive"));
    EXPECT_TRUE(QFile::exists(src + QStringLiteral("/r1.LZH")));
    EXPECT_EQ(dialogs.texts(), (QStringList{QStringLiteral("LZHファイルのコピーが終了しました．"),
                                            QStringLiteral("コピー元のLZHファイルを削除します．")}));
    const QByteArray expected = "1\r\n" + test::sjis(src) + "\r\n\r\n" + test::sjis(dst) + "\r\n\r\n\r\n\r\n";
    EXPECT_EQ(home.readBytes(QStringLiteral("CopyLZH.lst")), expected);
}

// A folder the list file cannot hold is refused before anything is saved or
// copied, naming the box and the character; the window stays open.
TEST(FileLZH, RefusesAFolderWithACharacterShiftJisLacks)
{
    test::ScratchHome home;
    home.writeLines(QStringLiteral("CopyLZH.lst"), {QStringLiteral("0"), QStringLiteral("/src")});
    const QByteArray before = home.readBytes(QStringLiteral("CopyLZH.lst"));
    platform::ScopedRecordingDialogs dialogs;
    QPointer<frmFileLZH> w = new frmFileLZH(nullptr);
    w->show();
    w->TextPath(2)->setText(QStringLiteral("/mnt/café"));
    QTest::mouseClick(w->cmdFileLZH(1), Qt::LeftButton);
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("コピー先フォルダ名２ の「é」は Shift-JIS で保存できない文字です．")});
    EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
    ASSERT_TRUE(w);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(home.readBytes(QStringLiteral("CopyLZH.lst")), before);
    delete w;
}
