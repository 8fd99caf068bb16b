#include "platform/safefile.h"
#include "platform/textfile.h"
#include "racing/horsemarks.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::racing;

namespace {
struct Marks {
    test::ScratchHome home;
    QString mdata = home.makeFolder(QStringLiteral("MData"));
    QByteArray bytes(const QString &name) const { return test::readFile(mdata + name); }
    QStringList lines(const QString &name) const { return platform::readLines(mdata + name).value_or(QStringList()); }
    QStringList entries() const
    {
        return QDir(home.folder()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    }
};
const QString kBlank36(36, QLatin1Char(' '));
} // namespace

TEST(HorseMarks, LineNumbersAndNames)
{
    struct Case {
        const char *key;
        int line;
        const char *name;
    } cases[] = {
        {"05003111", 11, "Um003東.dat"},
        {"05003101", 1, "Um003東.dat"},
        {"05003812", 96, "Um003東.dat"},
        {"05003201", 13, "Um003東.dat"},
        {"05003411", 47, "Um003東.dat"},
        {"07124301", 25, "Um124名.dat"},
        {"05003813", 0, ""}, // line 97
        {"05003900", 0, ""}, // day 9 race 0 would land on line 96
        {"05003113", 0, ""}, // day 1 race 13 would land on line 13
        {"05003100", 0, ""}, // race 0
        {"050030 1", 0, ""}, // blank in the race
        {"05003A11", 0, ""}, // day not a digit
        {"1100 311", 0, ""}, // unknown course; blank in the year
        {"05/.3411", 0, ""}, // would name a path
        {"0500341", 0, ""},  // short
    };
    for (const Case &c : cases) {
        const QString key = QString::fromUtf8(c.key);
        EXPECT_EQ(HorseMarkLine(key), c.line) << c.key;
        EXPECT_EQ(HorseMarkFileName(key), QString::fromUtf8(c.name)) << c.key;
    }
}

TEST(HorseMarks, ReadingCreatesABlankFile)
{
    Marks m;
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003411"), m.mdata), kBlank36);
    const QByteArray bytes = m.bytes(QStringLiteral("Um003東.dat"));
    EXPECT_EQ(bytes.size(), 96 * 44);
    EXPECT_EQ(bytes, platform::encodeLines(QStringList(96, QString(42, QLatin1Char(' ')))));
    EXPECT_FALSE(QFile::exists(m.mdata + QStringLiteral("Um003東.new")));
}

TEST(HorseMarks, RewriteChangesOneLineInPlaceOfTheFile)
{
    Marks m;
    QStringList lines;
    for (int i = 1; i <= 96; ++i)
        lines << QStringLiteral("      ") + QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')) +
                     QString(34, QLatin1Char(' '));
    m.home.writeLines(QStringLiteral("MData/Um003東.dat"), lines);
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003101"), m.mdata).left(2), QStringLiteral("01"));
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003812"), m.mdata).left(2), QStringLiteral("96"));
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003201"), m.mdata).left(2), QStringLiteral("13"));

    // Horse 1 full-width, horse 3 a half-width letter.
    const QString marks = QStringLiteral("◎  A ") + QString(30, QLatin1Char(' '));
    ASSERT_TRUE(WriteHorseMarks(marks, QStringLiteral("05003411"), m.mdata));
    const QStringList after = m.lines(QStringLiteral("Um003東.dat"));
    ASSERT_EQ(after.size(), 96);
    for (int i = 0; i < 96; ++i)
        if (i != 46) {
            EXPECT_EQ(after[i], lines[i]) << i;
        }
    EXPECT_EQ(after[46], QStringLiteral("      ◎  A ") + QString(30, QLatin1Char(' ')));
    EXPECT_EQ(test::sjis(after[46]).size(), 42);
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003411"), m.mdata), marks);
    EXPECT_FALSE(QFile::exists(m.mdata + QStringLiteral("Um003東.new")));
    // Other days and races share the file; another meeting does not.
    WriteHorseMarks(QStringLiteral("B ") + QString(34, QLatin1Char(' ')), QStringLiteral("05003412"), m.mdata);
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003411"), m.mdata), marks);
    WriteHorseMarks(marks, QStringLiteral("05004411"), m.mdata);
    EXPECT_TRUE(QFile::exists(m.mdata + QStringLiteral("Um004東.dat")));
}

TEST(HorseMarks, SavingWithoutAFileAndShortFiles)
{
    Marks m;
    const QString marks = QStringLiteral("○") + QString(34, QLatin1Char(' '));
    ASSERT_TRUE(WriteHorseMarks(marks, QStringLiteral("06003812"), m.mdata));
    QStringList lines = m.lines(QStringLiteral("Um003中.dat"));
    ASSERT_EQ(lines.size(), 96);
    EXPECT_EQ(lines[95], QStringLiteral("      ") + marks);
    EXPECT_EQ(lines[0], QString(42, QLatin1Char(' ')));

    // A file cut short by hand is completed, never cut.
    m.home.writeLines(QStringLiteral("MData/Um003中.dat"), {QStringLiteral("      X "), QStringLiteral("keep")});
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("06003812"), m.mdata), kBlank36); // past its end
    ASSERT_TRUE(WriteHorseMarks(marks, QStringLiteral("06003103"), m.mdata));
    lines = m.lines(QStringLiteral("Um003中.dat"));
    ASSERT_EQ(lines.size(), 96);
    EXPECT_EQ(lines[0], QStringLiteral("      X "));
    EXPECT_EQ(lines[1], QStringLiteral("keep"));
    EXPECT_EQ(lines[2], QStringLiteral("      ") + marks);
    EXPECT_EQ(lines[3], QString(42, QLatin1Char(' ')));
    // A line shorter than seven characters reads as empty.
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("06003102"), m.mdata), QString());
}

TEST(HorseMarks, BadKeysTouchNoFile)
{
    Marks m;
    const QStringList before = m.entries();
    for (const char *key : {"05003813", "05003A11", "1100311 ", "05/.3411", "05..3411", "0500"}) {
        EXPECT_EQ(ReadHorseMarks(QString::fromUtf8(key), m.mdata), kBlank36) << key;
        EXPECT_TRUE(WriteHorseMarks(QStringLiteral("X "), QString::fromUtf8(key), m.mdata)) << key;
    }
    EXPECT_EQ(m.entries(), before);
    EXPECT_TRUE(QDir(m.mdata).entryList(QDir::Files).isEmpty());
}

TEST(HorseMarks, FailedSaveKeepsTheOldFile)
{
    Marks m;
    ReadHorseMarks(QStringLiteral("05003411"), m.mdata);
    const QByteArray before = m.bytes(QStringLiteral("Um003東.dat"));
    // A folder in the way of the ".new" file: the write fails, the ".dat" stays.
    QDir(m.mdata).mkdir(QStringLiteral("Um003東.new"));
    QString error;
    EXPECT_FALSE(WriteHorseMarks(QStringLiteral("◎") + QString(34, QLatin1Char(' ')), QStringLiteral("05003411"),
                                 m.mdata, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(m.bytes(QStringLiteral("Um003東.dat")), before);
}

TEST(HorseMarks, WithoutAnMDataSettingNoFileIsTouched)
{
    // An empty setting would make the bare name a path in whatever folder the
    // program was started from.
    Marks m;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m.mdata));
    EXPECT_EQ(ReadHorseMarks(QStringLiteral("05003411"), QString()), kBlank36);
    QString error;
    EXPECT_FALSE(WriteHorseMarks(QStringLiteral("◎") + QString(34, QLatin1Char(' ')), QStringLiteral("05003411"),
                                 QString(), &error));
    EXPECT_FALSE(error.isEmpty());
    const QStringList written = QDir(m.mdata).entryList(QDir::Files);
    QDir::setCurrent(before);
    EXPECT_TRUE(written.isEmpty()) << written.join(QLatin1Char(' ')).toStdString();
}

// The other lines of the file go back byte for byte: NEC and IBM duplicates
// (87 90, FA 40), bytes that are not Shift-JIS and a line of another length
// stay as they are; only the race's own line is built anew.
TEST(HorseMarks, SaveCopiesTheOtherLinesByteForByte)
{
    Marks m;
    QList<QByteArray> lines(96, QByteArray(42, ' '));
    lines[0] = "      \x87\x90\xfa\x40" + QByteArray(32, ' ');
    lines[1] = "      \xff\x80 broken" + QByteArray(27, ' ');
    lines[47] = "      A " + QByteArray(2, ' ');
    m.home.writeBytes(QStringLiteral("MData/Um003東.dat"), platform::joinRawLines(lines));

    const QString marks = QStringLiteral("◎  A ") + QString(30, QLatin1Char(' '));
    ASSERT_TRUE(WriteHorseMarks(marks, QStringLiteral("05003411"), m.mdata));
    lines[46] = "      \x81\x9d  A " + QByteArray(30, ' ');
    EXPECT_EQ(m.bytes(QStringLiteral("Um003東.dat")), platform::joinRawLines(lines));
}

// A mark file the user made read-only is not replaced (a failing step:
// EveryWriter).
TEST(HorseMarks, ReadOnlyFileIsNeverReplaced)
{
    Marks m;
    ReadHorseMarks(QStringLiteral("05003411"), m.mdata);
    const QString path = m.mdata + QStringLiteral("Um003東.dat");
    const QByteArray before = m.bytes(QStringLiteral("Um003東.dat"));
    const QString marks = QStringLiteral("◎") + QString(34, QLatin1Char(' '));
    QString error;
    ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    EXPECT_FALSE(WriteHorseMarks(marks, QStringLiteral("05003411"), m.mdata, &error));
    EXPECT_EQ(error, QStringLiteral("読み取り専用のファイルです"));
    EXPECT_EQ(m.bytes(QStringLiteral("Um003東.dat")), before);
    EXPECT_TRUE(platform::isReadOnlyFile(path));
    EXPECT_EQ(QDir(m.mdata).entryList(QDir::Files), QStringList{QStringLiteral("Um003東.dat")});
}
