#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "common/settings.h"
#include "support/testutil.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::common;

namespace {

QString key(const char *k) { return QString::fromLatin1(k).leftJustified(10, QLatin1Char(' ')); }

TEST(Settings, LoaderReadsKeysByCharacterPosition)
{
    struct Case {
        const char *name;
        QStringList lines;
        QList<QPair<QString, QString>> changed; // the fields that differ from a fresh record
    };
    const Case cases[] = {
        {"only comments", {"# a", "#MData     /x/"}, {}},
        {"Wait1 padded to ten", {"Wait1     12"}, {{"Wait1", "12"}}},
        {"Wait1 with one blank is no key", {"Wait1 12"}, {}},
        {"value keeps trailing blanks", {key("MData") + "/data/vantor/  "}, {{"MData", "/data/vantor/  "}}},
        {"later line wins", {key("SData") + "/first/", key("SData") + "/second/"}, {{"SData", "/second/"}}},
        {"Vantor_Ver fills ten characters", {"Vantor_Ver2.05"}, {{"Vantor_Ver", "2.05"}}},
        {"key is case-sensitive", {key("mdata") + "/x/"}, {}},
        {"positions count characters", {key("DenCSV") + "/出馬表/"}, {{"DenCSV", "/出馬表/"}}},
        {"empty line and unknown key ignored", {QString(), key("Other") + "x"}, {}},
        {"16-bit limits", {key("Wait2") + "-32768", key("Wait3") + "32767"}, {{"Wait2", "-32768"}, {"Wait3", "32767"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRecord s;
        QStringList bad;
        ApplySettingsLines(c.lines, s, &bad);
        QList<QPair<QString, QString>> expected = SettingsFields(SettingsRecord{});
        for (const auto &[field, value] : c.changed)
            for (auto &f : expected)
                if (f.first == field)
                    f.second = value;
        EXPECT_EQ(SettingsFields(s), expected);
        EXPECT_TRUE(bad.isEmpty());
    }
}

// A bad Wait value, or a folder with a control character (a CR left by CR CR
// LF line ends would name a folder the host never reads), is refused: the
// field keeps its value and the line is reported.
TEST(Settings, BadWaitKeepsPreviousValueAndIsReportedOnce)
{
    const QString badLines[] = {key("Wait1") + "x",          key("Wait1") + "32768", key("Wait1") + "-32769",
                                key("Wait1") + "1.5",        key("Wait1"),           key("MData") + "/m/\r",
                                key("TimeRank") + "/t/\x1a", key("DenCSV") + "\t/d/"};
    for (const QString &line : badLines) {
        SettingsRecord s;
        s.Wait1 = 7;
        QStringList bad;
        ApplySettingsLines({QStringLiteral("Wait1     3"), key("MData") + "/old/", key("TimeRank") + "/old/",
                            key("DenCSV") + "/old/", line},
                           s, &bad);
        EXPECT_EQ(s.Wait1, 3) << line.toStdString();
        EXPECT_EQ(s.MData + s.TimeRank + s.DenCSV, QStringLiteral("/old//old//old/"));
        EXPECT_EQ(bad, QStringList{line}) << line.toStdString();
    }

    test::ScratchHome home;
    home.writeBytes(QStringLiteral("Korvin.ini"), "Wait2     abc\r\nWait3     5\r\nMData     /m/\r\r\n");
    platform::ScopedRecordingDialogs dialogs;
    Settings.Wait2 = 4;
    Settings.MData.clear();
    EXPECT_TRUE(platform::ShowMessages(LoadSettings()));
    EXPECT_EQ(Settings.Wait2, 4);
    EXPECT_EQ(Settings.Wait3, 5);
    EXPECT_EQ(Settings.MData, QString());
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
    EXPECT_TRUE(dialogs.shown[0].text.contains(key("Wait2") + QStringLiteral("abc")));
    EXPECT_EQ(dialogs.shown[1].text,
              QStringLiteral("設定ファイルの MData に制御文字 (U+000D) があります．この設定は使いません．"));

    // A file of many such lines is not a message box each: thirty, then the count.
    home.writeLines(QStringLiteral("Korvin.ini"), QStringList(35, key("Wait1") + QStringLiteral("x")));
    const platform::Messages said = LoadSettings();
    ASSERT_EQ(said.size(), 31u);
    EXPECT_EQ(said[29].text, "設定ファイルの待ち時間が整数(-32768～32767)ではありません． ( Wait1     x )");
    EXPECT_EQ(said[30].text,
              QStringLiteral("設定ファイルの待ち時間が整数(-32768～32767)ではない行がほかに 5 行あります．"));
}

TEST(Settings, MissingFileIsFatalAndNamesThePath)
{
    test::ScratchHome home;
    platform::ScopedRecordingDialogs dialogs;
    EXPECT_FALSE(platform::ShowMessages(LoadSettings()));
    ASSERT_EQ(home.fatalMessages.size(), 1);
    EXPECT_TRUE(home.fatalMessages[0].contains(home.path(QStringLiteral("Korvin.ini"))));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, platform::MessageKind::Critical);
    EXPECT_FALSE(QFile::exists(home.path(QStringLiteral("Korvin.ini")))) << "nothing creates a default file";
}

TEST(Settings, OptionPairsSkipCommentsAndStopAtFifteen)
{
    QStringList lines{QStringLiteral("# head"), QStringLiteral("Wait1     12"), QStringLiteral("abc")};
    for (int i = 0; i < 20; ++i)
        lines << key("Wait2") + QString::number(i);
    const QList<OptionPair> pairs = OptionPairsOf(lines);
    ASSERT_EQ(pairs.size(), kOptionPairs);
    EXPECT_EQ(pairs[0].label, QStringLiteral("Wait1     "));
    EXPECT_EQ(pairs[0].value, QStringLiteral("12"));
    EXPECT_EQ(pairs[1].label, QStringLiteral("abc"));
    EXPECT_EQ(pairs[1].value, QString());
    EXPECT_TRUE(OptionPairsOf({QStringLiteral("# only")}).isEmpty());
}

TEST(Settings, SaveLinesKeepCommentsShortLinesAndLinesWithoutBox)
{
    QStringList lines{QStringLiteral("# keep me"), key("MData") + QStringLiteral("/old/"), QStringLiteral("abc"),
                      QStringLiteral("#middle"), key("MData") + QStringLiteral("/dup/")};
    for (int i = 0; i < 14; ++i)
        lines << key("Wait3") + QString::number(i);
    // 17 setting lines: boxes exist for the first fifteen only.
    QList<OptionPair> edited = OptionPairsOf(lines);
    ASSERT_EQ(edited.size(), 15);
    edited[0].value = QStringLiteral("/new/");
    edited[1].value = QStringLiteral("X");
    edited[2].value = QStringLiteral("/ignored/");
    for (int i = 3; i < 15; ++i)
        edited[i].value = QStringLiteral("9");

    const QStringList out = SaveOptionLines(lines, edited);
    ASSERT_EQ(out.size(), lines.size());
    EXPECT_EQ(out[0], QStringLiteral("# keep me"));
    EXPECT_EQ(out[1], key("MData") + QStringLiteral("/new/"));
    EXPECT_EQ(out[2], QStringLiteral("abcX")) << "a short line keeps its characters, the value follows directly";
    EXPECT_EQ(out[3], QStringLiteral("#middle"));
    EXPECT_EQ(out[4], key("MData") + QStringLiteral("/new/")) << "a duplicate key gets the first box";
    // The first Wait3 line's box is the first of its label, so all Wait3 lines with a box get "9".
    EXPECT_EQ(out[5], key("Wait3") + QStringLiteral("9"));
    EXPECT_EQ(out[16], key("Wait3") + QStringLiteral("9"));
    EXPECT_EQ(out[17], key("Wait3") + QStringLiteral("12")) << "16th setting line has no box: unchanged";
    EXPECT_EQ(out[18], key("Wait3") + QStringLiteral("13"));
}

// What the save does not change goes back byte for byte: a UTF-8 comment, a
// value with NEC duplicates, a line beyond the fifteen boxes; the file is
// replaced whole, nothing is left beside it.
TEST(Settings, SaveCopiesUnchangedLinesByteForByte)
{
    test::ScratchHome home;
    QList<QByteArray> raw{"# caf\xc3\xa9 \xe2\x80\x94 utf-8", "MData     /m/", "SData     /s/\x87\x90\xfa\x40"};
    for (int i = 0; i < 13; ++i)
        raw << "Key" + QByteArray::number(i + 10) + "     " + QByteArray::number(i);
    raw << "Extra     \xff\x80";
    home.writeBytes(QStringLiteral("Korvin.ini"), platform::joinRawLines(raw));
    QList<OptionPair> edited = OptionPairsOf(*platform::readLines(home.path(QStringLiteral("Korvin.ini"))));
    ASSERT_EQ(edited.size(), 15);
    edited[0].value = QStringLiteral("/新/");
    QString error;
    ASSERT_TRUE(SaveOptions(edited, &error)) << error.toStdString();
    raw[1] = "MData     /\x90\x56/";
    EXPECT_EQ(home.readBytes(QStringLiteral("Korvin.ini")), platform::joinRawLines(raw));
    EXPECT_EQ(QDir(home.folder()).entryList(QDir::Files), QStringList{"Korvin.ini"});
}

// A box the file could not load again, or could not hold, is refused before
// anything is written; so is a file the user made read-only.
TEST(Settings, SaveRefusesBoxesItCannotWriteAndKeepsTheFile)
{
    struct Case {
        const char *label;
        const char16_t *value;
        const char16_t *message;
    } cases[] = {
        {"Wait1", u"99999", u"Wait1 には -32768～32767 の整数を入れて下さい． ( 99999 )"},
        {"Wait2", u"abc", u"Wait2 には -32768～32767 の整数を入れて下さい． ( abc )"},
        {"Wait3", u"", u"Wait3 には -32768～32767 の整数を入れて下さい． (  )"},
        {"MData", u"/x/café/", u"MData の「é」は Shift-JIS で保存できない文字です．"},
        {"SData", u"/x/😀/", u"SData の「😀」は Shift-JIS で保存できない文字です．"},
        {"MData", u"/x/\r", u"MData に制御文字 (U+000D) があります．"},
        {"SData", u"/x\t/", u"SData に制御文字 (U+0009) があります．"},
    };
    test::ScratchHome home;
    const QStringList lines{key("MData") + QStringLiteral("/m/"), key("SData") + QStringLiteral("/s/"),
                            key("Wait1") + QStringLiteral("1"), key("Wait2") + QStringLiteral("2"),
                            key("Wait3") + QStringLiteral("3")};
    home.writeLines(QStringLiteral("Korvin.ini"), lines);
    const QByteArray before = home.readBytes(QStringLiteral("Korvin.ini"));
    for (const Case &c : cases) {
        QList<OptionPair> edited = OptionPairsOf(lines);
        for (OptionPair &p : edited)
            if (p.label == key(c.label))
                p.value = QString::fromUtf16(c.value);
        QString error;
        EXPECT_FALSE(SaveOptions(edited, &error)) << c.label;
        EXPECT_EQ(error, QString::fromUtf16(c.message));
    }
    const QList<OptionPair> edited{{key("MData"), QStringLiteral("/n/")}};
    ASSERT_TRUE(QFile::setPermissions(home.path(QStringLiteral("Korvin.ini")), QFileDevice::ReadOwner));
    QString error;
    EXPECT_FALSE(SaveOptions(edited, &error));
    EXPECT_EQ(error, QStringLiteral("読み取り専用のファイルです"));
    EXPECT_EQ(home.readBytes(QStringLiteral("Korvin.ini")), before);
    EXPECT_FALSE(QFile::exists(home.path(QStringLiteral("NewKorvin.ini"))));
}

} // namespace
