#include "files/lzhcopy.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"
#include "support/testutil.h"

#include <QDir>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif

using namespace korvin;
using korvin::files::FolderList;
using korvin::platform::Answer;
using korvin::platform::MessageKind;

namespace {

// A source folder with archives and up to five destination folders under a
// scratch program folder. Folders are typed without a trailing separator.
struct CopyFixture {
    test::ScratchHome home;
    mutable platform::RecordingDialogs dialogs;
    QString source = strip(home.makeFolder(QStringLiteral("src")));

    // Runs the copy over the typed folders: the source, then five destinations.
    files::CopyRunResult copy(const std::array<QString, 6> &paths, bool deleteSources = false) const
    {
        FolderList list;
        list.deleteSources = deleteSources;
        list.paths = paths;
        return files::CopyLzhFiles(list, dialogs);
    }

    static QString strip(QString folder)
    {
        folder.chop(1);
        return folder;
    }
    QString dest(const QString &name) const { return strip(home.makeFolder(name)); }
    void put(const QString &folder, const QString &name, const QByteArray &bytes) const
    {
        ASSERT_TRUE(test::writeFile(folder + QLatin1Char('/') + name, bytes));
    }
};

QByteArray content(const QString &folder, const QString &name) { return test::readFile(folder + '/' + name); }
QStringList names(const QString &folder) { return QDir(folder).entryList(QDir::Files, QDir::Name); }
const QString kDone = QStringLiteral("LZHファイルのコピーが終了しました．");

std::vector<MessageKind> kinds(const platform::RecordingDialogs &d)
{
    std::vector<MessageKind> out;
    for (const auto &e : d.shown)
        out.push_back(e.kind);
    return out;
}

} // namespace

// An archive already in a destination is replaced without a question and
// keeps the source's date; other archives there stay.
TEST(LzhCopy, CopiesToFilledDestinationsOnlyAndMatchesAnyCase)
{
    CopyFixture fx;
    fx.put(fx.source, QStringLiteral("a.lzh"), "AAA");
    fx.put(fx.source, QStringLiteral("B.LZH"), "BBBB");
    fx.put(fx.source, QStringLiteral("c.Lzh"), "C");
    fx.put(fx.source, QStringLiteral("note.txt"), "not an archive");
    fx.put(fx.source, QStringLiteral("d.lzh.bak"), "not an archive either");
    const QDateTime stamp(QDate(2000, 6, 10), QTime(9, 30));
    {
        QFile f(fx.source + QStringLiteral("/a.lzh"));
        ASSERT_TRUE(f.open(QIODevice::Append));
        ASSERT_TRUE(f.setFileTime(stamp, QFileDevice::FileModificationTime));
    }
    const QString d1 = fx.dest(QStringLiteral("d1"));
    fx.put(d1, QStringLiteral("a.lzh"), "old contents that were longer");
    fx.put(d1, QStringLiteral("keep.lzh"), "untouched");
    const QString d3 = fx.dest(QStringLiteral("d3"));
    const QString unused = fx.dest(QStringLiteral("unused"));

    const auto r = fx.copy({fx.source, d1, QString(), d3, QStringLiteral("   "), QString()});

    EXPECT_TRUE(r.listSaved);
    EXPECT_FALSE(r.sourceMissing);
    EXPECT_EQ(r.copies, 6);
    EXPECT_TRUE(r.failures.empty());
    const QStringList archives{QStringLiteral("B.LZH"), QStringLiteral("a.lzh"), QStringLiteral("c.Lzh")};
    // No temporary file is left beside the archives.
    EXPECT_EQ(names(d1), archives + QStringList{QStringLiteral("keep.lzh")});
    EXPECT_EQ(names(d3), archives);
    EXPECT_TRUE(names(unused).isEmpty());
    EXPECT_EQ(content(d3, QStringLiteral("B.LZH")), QByteArray("BBBB"));
    EXPECT_EQ(content(d1, QStringLiteral("a.lzh")), QByteArray("AAA"));
    EXPECT_EQ(QFileInfo(d1 + QStringLiteral("/a.lzh")).lastModified(), stamp);
    EXPECT_EQ(content(d1, QStringLiteral("keep.lzh")), QByteArray("untouched"));
    // Without the delete box the sources stay and no question is asked.
    EXPECT_EQ(names(fx.source).size(), 5);
    EXPECT_EQ(fx.dialogs.texts(), QStringList{kDone});
    EXPECT_EQ(kinds(fx.dialogs), std::vector<MessageKind>{MessageKind::Information});
}

TEST(LzhCopy, DeleteQuestionAnswers)
{
    struct Case {
        const char *name;
        Answer answer;
        bool sourcesLeft;
    };
    const Case cases[] = {{"No keeps the archives", Answer::No, true}, {"Yes deletes them", Answer::Yes, false}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CopyFixture fx;
        fx.dialogs.answers.push_back(c.answer);
        fx.put(fx.source, QStringLiteral("a.lzh"), "A");
        fx.put(fx.source, QStringLiteral("b.LZH"), "B");
        fx.put(fx.source, QStringLiteral("readme.txt"), "stays");
        const QString d2 = fx.dest(QStringLiteral("d2"));

        const auto r = fx.copy({fx.source, {}, d2, {}, {}, {}}, true);

        EXPECT_TRUE(r.deleteAsked);
        EXPECT_EQ(names(d2).size(), 2);
        EXPECT_EQ(names(fx.source).contains(QStringLiteral("a.lzh")), c.sourcesLeft);
        EXPECT_EQ(names(fx.source).contains(QStringLiteral("b.LZH")), c.sourcesLeft);
        EXPECT_TRUE(names(fx.source).contains(QStringLiteral("readme.txt")));
        // The choice is saved as "1" whatever the answer.
        EXPECT_EQ(fx.home.readBytes(QStringLiteral("CopyLZH.lst")).left(3), QByteArray("1\r\n"));
        QStringList expected{kDone, QStringLiteral("コピー元のLZHファイルを削除します．")};
        std::vector<MessageKind> expectedKinds{MessageKind::Information, MessageKind::Warning};
        if (!c.sourcesLeft) {
            expected << QStringLiteral("コピー元のLZHファイルを削除しました．");
            expectedKinds.push_back(MessageKind::Information);
        }
        EXPECT_EQ(fx.dialogs.texts(), expected);
        EXPECT_EQ(kinds(fx.dialogs), expectedKinds);
    }
}

TEST(LzhCopy, AFailingCopyIsReportedAndKeepsTheSources)
{
    struct Case {
        const char *name;
        // Prepares the failing destination and returns it as typed.
        std::function<QString(CopyFixture &)> failing;
        const char *reason; // part of the message, empty: any system reason
    };
    const Case cases[] = {
        {"missing destination folder", [](CopyFixture &fx) { return fx.home.folder() + QStringLiteral("nowhere"); },
         "コピー先フォルダがありません"},
        {"target name taken by a folder",
         [](CopyFixture &fx) {
             const QString d = fx.dest(QStringLiteral("busy"));
             QDir(d).mkpath(QStringLiteral("b.lzh"));
             return d;
         },
         ""},
        {"destination is the source folder", [](CopyFixture &fx) { return fx.source + QStringLiteral("/."); },
         "コピー元と同じフォルダです"},
        // Copying "succeeds" onto the source itself, and the delete would lose the only copy.
        {"the destination's archive a link to the source's",
         [](CopyFixture &fx) {
             const QString d = fx.dest(QStringLiteral("linked"));
             const QString source = fx.source + QStringLiteral("/b.lzh"), link = d + QStringLiteral("/b.lzh");
#ifdef _WIN32
             // QFile::link makes a shortcut file on Windows: a hard link is the same file.
             EXPECT_TRUE(CreateHardLinkW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(link).utf16()),
                                         reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(source).utf16()), nullptr));
#else
             EXPECT_TRUE(QFile::link(source, link));
#endif
             return d;
         },
         ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        CopyFixture fx;
        fx.put(fx.source, QStringLiteral("a.lzh"), "A");
        fx.put(fx.source, QStringLiteral("b.lzh"), "B");
        const QString good = fx.dest(QStringLiteral("good"));
        const QString bad = c.failing(fx);

        const auto r = fx.copy({fx.source, good, bad, {}, {}, {}}, true);

        ASSERT_FALSE(r.failures.empty());
        for (const auto &f : r.failures)
            EXPECT_EQ(f.destination, bad);
        EXPECT_FALSE(r.deleteAsked);
        EXPECT_EQ(content(fx.source, QStringLiteral("b.lzh")), QByteArray("B"));
        EXPECT_EQ(names(fx.source).size(), 2);
        EXPECT_EQ(names(good).size(), 2);
        ASSERT_EQ(fx.dialogs.shown.size(), 1u);
        const auto &msg = fx.dialogs.shown[0];
        EXPECT_EQ(msg.kind, MessageKind::Critical);
        EXPECT_NE(msg.text, kDone);
        EXPECT_TRUE(msg.text.contains(QStringLiteral("b.lzh → ") + bad)) << msg.text.toStdString();
        EXPECT_TRUE(msg.text.contains(QString::fromUtf8(c.reason))) << msg.text.toStdString();
        EXPECT_TRUE(msg.text.contains(QStringLiteral("削除しません"))) << msg.text.toStdString();
    }
}

TEST(LzhCopy, MissingSourceFolderCopiesNothingAndNamesIt)
{
    CopyFixture fx;
    const QString d1 = fx.dest(QStringLiteral("d1"));
    const QString missing = fx.home.folder() + QStringLiteral("downloads");

    const auto r = fx.copy({missing, d1, {}, {}, {}, {}}, true);

    EXPECT_TRUE(r.sourceMissing);
    EXPECT_TRUE(r.listSaved);
    EXPECT_EQ(r.copies, 0);
    EXPECT_FALSE(r.deleteAsked);
    EXPECT_EQ(fx.dialogs.texts(), QStringList{QStringLiteral("コピー元フォルダがありません． ( %1 )").arg(missing)});
    EXPECT_EQ(kinds(fx.dialogs), std::vector<MessageKind>{MessageKind::Critical});
    // The typed folders are remembered all the same.
    EXPECT_TRUE(fx.home.readBytes(QStringLiteral("CopyLZH.lst")).contains(test::sjis(missing)));
}

TEST(LzhCopy, NoArchivesStillEndsWithTheCompletionMessage)
{
    CopyFixture fx;
    const QString d1 = fx.dest(QStringLiteral("d1"));
    const auto r = fx.copy({fx.source, d1, {}, {}, {}, {}});
    EXPECT_EQ(r.copies, 0);
    EXPECT_EQ(fx.dialogs.texts(), QStringList{kDone});
}

TEST(LzhCopy, FolderListBytesAndRoundTrip)
{
    test::ScratchHome home;
    FolderList list;
    list.deleteSources = true;
    list.paths = {QStringLiteral("C:\\ダウンロード"),
                  QStringLiteral("D:\\保管"),
                  QString(),
                  QStringLiteral(" E:\\x "),
                  QString(),
                  QStringLiteral("F:\\y")};
    ASSERT_TRUE(files::WriteFolderList(files::FolderListPath(), list));
    EXPECT_EQ(files::FolderListPath(), home.path(QStringLiteral("CopyLZH.lst")));
    const QByteArray expected = "1\r\n" + test::sjis(QStringLiteral("C:\\ダウンロード")) + "\r\n" +
                                test::sjis(QStringLiteral("D:\\保管")) + "\r\n\r\n E:\\x \r\n\r\nF:\\y\r\n";
    EXPECT_EQ(home.readBytes(QStringLiteral("CopyLZH.lst")), expected);

    const auto back = files::ReadFolderList(files::FolderListPath());
    ASSERT_TRUE(back.has_value());
    EXPECT_TRUE(back->deleteSources);
    EXPECT_EQ(back->paths, list.paths);

    list.deleteSources = false;
    ASSERT_TRUE(files::WriteFolderList(files::FolderListPath(), list));
    EXPECT_EQ(home.readBytes(QStringLiteral("CopyLZH.lst")).left(3), QByteArray("0\r\n"));
    EXPECT_FALSE(files::ReadFolderList(files::FolderListPath())->deleteSources);
}

TEST(LzhCopy, ReadingOddFolderLists)
{
    struct Case {
        const char *name;
        QStringList lines;
        bool ticked;
        QString source;
        QString dest5;
    };
    const Case cases[] = {
        {"first line 1 ticks", {"1", "s", "1", "2", "3", "4", "5"}, true, "s", "5"},
        {"first line 0", {"0", "s", "1", "2", "3", "4", "5"}, false, "s", "5"},
        {"any other number stays unticked", {"2", "s"}, false, "s", ""},
        {"1.5 is not 1", {"1.5", "s"}, false, "s", ""},
        {"1.9 is not 1", {"1.9", "s"}, false, "s", ""},
        {"text stays unticked", {"yes", "s"}, false, "s", ""},
        {"short file leaves the rest empty", {"1", "s"}, true, "s", ""},
        {"extra lines are ignored", {"1", "s", "1", "2", "3", "4", "5", "6"}, true, "s", "5"},
        {"empty file", {}, false, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        test::ScratchHome home;
        home.writeLines(QStringLiteral("CopyLZH.lst"), c.lines);
        const auto list = files::ReadFolderList(files::FolderListPath());
        ASSERT_TRUE(list.has_value());
        EXPECT_EQ(list->deleteSources, c.ticked);
        EXPECT_EQ(list->paths[0], c.source);
        EXPECT_EQ(list->paths[5], c.dest5);
    }
    test::ScratchHome empty;
    EXPECT_FALSE(files::ReadFolderList(files::FolderListPath()).has_value());
}

TEST(LzhCopy, DestinationsAreServedInOrderAndAnUnsavableListDoesNotStopTheCopy)
{
    CopyFixture fx;
    fx.put(fx.source, QStringLiteral("a.lzh"), "A");
    fx.put(fx.source, QStringLiteral("b.lzh"), "B");
    // The list cannot be written where a folder holds its name.
    QDir(fx.home.folder()).mkpath(QStringLiteral("CopyLZH.lst"));
    const QString d5 = fx.dest(QStringLiteral("d5"));
    const QString m1 = fx.home.folder() + QStringLiteral("m1");
    const QString m3 = fx.home.folder() + QStringLiteral("m3");

    const auto r = fx.copy({fx.source, m1, {}, m3, {}, d5});

    EXPECT_FALSE(r.listSaved);
    EXPECT_EQ(r.copies, 2);
    EXPECT_EQ(names(d5).size(), 2);
    QStringList order;
    for (const auto &f : r.failures)
        order << f.file + QLatin1Char('>') + f.destination;
    EXPECT_EQ(order, (QStringList{QStringLiteral("a.lzh>") + m1, QStringLiteral("b.lzh>") + m1,
                                  QStringLiteral("a.lzh>") + m3, QStringLiteral("b.lzh>") + m3}));
    ASSERT_EQ(kinds(fx.dialogs), (std::vector<MessageKind>{MessageKind::Critical, MessageKind::Critical}));
    EXPECT_TRUE(fx.dialogs.shown[0].text.contains(QStringLiteral("CopyLZH.lst")));
}

TEST(LzhCopy, WithoutAnyDestinationTheTickedBoxDeletesNothing)
{
    CopyFixture fx;
    fx.dialogs.defaultAnswer = Answer::Yes;
    fx.put(fx.source, QStringLiteral("a.lzh"), "A");
    const auto r = fx.copy({fx.source, QStringLiteral("  "), {}, {}, {}, {}}, true);
    EXPECT_FALSE(r.deleteAsked);
    EXPECT_TRUE(names(fx.source).contains(QStringLiteral("a.lzh")));
    EXPECT_EQ(fx.dialogs.texts(),
              (QStringList{kDone, "コピー先フォルダが指定されていないため，コピー元のLZHファイルは削除しません．"}));
}

// A full disk at any step of the run (the list, a copy, a rename): no
// completion is reported for a copy that failed, no copy is left torn or
// empty under an archive's name, and no archive is deleted unless its copy
// is whole.
TEST(LzhCopy, AFullDiskAtAnyStepNeverCostsAnArchive)
{
    const QByteArray archive(70000, 'z');
    auto run = [&](int failAt, std::function<void(CopyFixture &, const QString &)> check) {
        CopyFixture fx;
        fx.put(fx.source, QStringLiteral("a.lzh"), archive);
        const QString d1 = fx.dest(QStringLiteral("d1"));
        fx.put(d1, QStringLiteral("a.lzh"), "older archive");
        platform::ScopedSaveFault fault(failAt);
        fx.copy({fx.source, d1, {}, {}, {}, {}}, true);
        check(fx, d1);
    };
    int steps = 0;
    run(0, [&](CopyFixture &fx, const QString &d1) {
        steps = platform::SaveFaults::steps();
        EXPECT_EQ(content(d1, QStringLiteral("a.lzh")), archive);
        EXPECT_TRUE(names(fx.source).isEmpty());
    });
    ASSERT_GT(steps, 5);
    for (int n = 1; n <= steps; ++n) {
        SCOPED_TRACE(n);
        run(n, [&](CopyFixture &fx, const QString &d1) {
            const QByteArray copy = content(d1, QStringLiteral("a.lzh"));
            EXPECT_TRUE(copy == archive || copy == "older archive");
            EXPECT_EQ(names(d1), QStringList{QStringLiteral("a.lzh")});
            const bool done = fx.dialogs.texts().contains(kDone);
            EXPECT_EQ(done, copy == archive);
            if (copy != archive) {
                EXPECT_EQ(content(fx.source, QStringLiteral("a.lzh")), archive);
            }
        });
    }
}

// Only archives that reached every destination are deleted: one that came
// into the source folder while the question was open stays.
TEST(LzhCopy, DeleteOnlyArchivesCopiedEverywhere)
{
    CopyFixture fx;
    fx.put(fx.source, QStringLiteral("a.lzh"), "A");
    fx.put(fx.source, QStringLiteral("b.lzh"), "B");
    const QString d1 = fx.dest(QStringLiteral("d1"));
    const QString d4 = fx.dest(QStringLiteral("d4"));
    fx.dialogs.onShown = [&](const platform::RecordingDialogs::Entry &e) {
        if (e.kind == MessageKind::Warning)
            fx.put(fx.source, QStringLiteral("late.lzh"), "L");
    };
    const auto r = fx.copy({fx.source, d1, {}, {}, d4, {}}, true);
    EXPECT_EQ(r.deleted, (QStringList{QStringLiteral("a.lzh"), QStringLiteral("b.lzh")}));
    EXPECT_EQ(names(fx.source), QStringList{QStringLiteral("late.lzh")});
    EXPECT_EQ(names(d4), (QStringList{QStringLiteral("a.lzh"), QStringLiteral("b.lzh")}));
}

// The list never stores a folder as "?": a character Shift-JIS lacks is
// refused, naming it, and the old list stays.
TEST(LzhCopy, FolderListRefusesCharactersItCannotHold)
{
    test::ScratchHome home;
    home.writeLines(QStringLiteral("CopyLZH.lst"), {QStringLiteral("0"), QStringLiteral("/old")});
    const QByteArray before = home.readBytes(QStringLiteral("CopyLZH.lst"));
    FolderList list;
    list.paths[2] = QStringLiteral("/home/u/café");
    QString error;
    EXPECT_FALSE(files::WriteFolderList(files::FolderListPath(), list, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("「é」"))) << error.toStdString();
    EXPECT_EQ(home.readBytes(QStringLiteral("CopyLZH.lst")), before);
}
