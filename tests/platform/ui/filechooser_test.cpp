#include "platform/ui/filechooser.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeView>
#include <QCoreApplication>
#include <QFileSystemModel>
#include <gtest/gtest.h>

using korvin::platform::ui::FileChooser;

namespace {

void touch(const QString &path) { ASSERT_TRUE(korvin::test::writeFile(path, {})); }

TEST(FileChooser, ListsMatchingFilesIgnoringLetterCase)
{
    QTemporaryDir dir;
    const QDir d(dir.path());
    for (const char *name : {"DC000514.csv", "dc000521.CSV", "DX000514.txt", "DC000514.csv.bak", "TRa20000514.txt"})
        touch(d.filePath(QString::fromLatin1(name)));
    d.mkdir(QStringLiteral("old"));
    touch(d.filePath(QStringLiteral("old/DC990101.csv")));

    FileChooser chooser;
    chooser.setRoot(dir.path());
    chooser.setPattern(QStringLiteral("DC*.csv"));
    EXPECT_EQ(chooser.fileNames(), (QStringList{QStringLiteral("DC000514.csv"), QStringLiteral("dc000521.CSV")}));
    EXPECT_EQ(chooser.findChild<QLabel *>(QStringLiteral("DriveList"))->text(), QDir::rootPath());

    chooser.setPattern(QStringLiteral("TRa*.txt"));
    EXPECT_EQ(chooser.fileNames(), QStringList{QStringLiteral("TRa20000514.txt")});

    chooser.setPattern(QStringLiteral("DC*.csv"));
    chooser.setCurrentFolder(d.filePath(QStringLiteral("old")));
    EXPECT_EQ(chooser.fileNames(), QStringList{QStringLiteral("DC990101.csv")});
    EXPECT_EQ(chooser.currentFolder(), d.filePath(QStringLiteral("old")));
}

TEST(FileChooser, SelectionAndDoubleClick)
{
    QTemporaryDir dir;
    touch(QDir(dir.path()).filePath(QStringLiteral("DC000514.csv")));
    FileChooser chooser;
    chooser.setRoot(dir.path());
    chooser.setPattern(QStringLiteral("DC*.csv"));
    EXPECT_EQ(chooser.selectedFile(), QString());
    EXPECT_FALSE(chooser.selectFile(QStringLiteral("missing.csv")));
    EXPECT_TRUE(chooser.selectFile(QStringLiteral("DC000514.csv")));
    EXPECT_EQ(chooser.selectedFile(), QStringLiteral("DC000514.csv"));

    QSignalSpy activated(&chooser, &FileChooser::fileActivated);
    QListWidget *list = chooser.fileList();
    emit list->itemDoubleClicked(list->item(0));
    ASSERT_EQ(activated.count(), 1);
    EXPECT_EQ(activated.at(0).at(0).toString(), QStringLiteral("DC000514.csv"));
}

TEST(FileChooser, TheRootFolderStaysInTheTreeToComeBackTo)
{
    // base/root is the root; base/other lies beside it and must not show.
    QTemporaryDir dir;
    const QDir base(dir.path());
    base.mkpath(QStringLiteral("root/old"));
    base.mkpath(QStringLiteral("other"));
    touch(base.filePath(QStringLiteral("root/DC000514.csv")));
    touch(base.filePath(QStringLiteral("root/old/DC990101.csv")));
    const QString root = base.filePath(QStringLiteral("root"));

    FileChooser chooser;
    chooser.setRoot(root);
    chooser.setPattern(QStringLiteral("DC*.csv"));
    QTreeView *tree = chooser.folderTree();
    auto *model = qobject_cast<QFileSystemModel *>(tree->model());
    ASSERT_TRUE(model);
    // The folder tree loads in the background.
    const QModelIndex top = tree->rootIndex();
    ASSERT_TRUE(korvin::test::waitFor([&] {
        QCoreApplication::processEvents();
        return model->rowCount(top) >= 2;
    }));
    ASSERT_EQ(model->rowCount(top), 2);

    const QModelIndex rootItem = model->index(root);
    EXPECT_EQ(rootItem.parent(), top);
    EXPECT_FALSE(tree->isRowHidden(rootItem.row(), top));
    const QModelIndex other = model->index(base.filePath(QStringLiteral("other")));
    EXPECT_TRUE(tree->isRowHidden(other.row(), top));

    // Into a subfolder and back to the root through the tree.
    tree->setCurrentIndex(model->index(base.filePath(QStringLiteral("root/old"))));
    EXPECT_EQ(chooser.fileNames(), QStringList{QStringLiteral("DC990101.csv")});
    tree->setCurrentIndex(rootItem);
    EXPECT_EQ(chooser.fileNames(), QStringList{QStringLiteral("DC000514.csv")});
    EXPECT_EQ(chooser.currentFolder(), root);
}

} // namespace
