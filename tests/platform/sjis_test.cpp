#include "platform/sjis.h"
#include "platform/textfile.h"
#include "support/testutil.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace korvin::platform;

namespace {

struct RoundTrip {
    const char16_t *text;
    QByteArray bytes;
};

TEST(Sjis, EncodesAndDecodesRealCp932Bytes)
{
    const RoundTrip cases[] = {
        {u"ABC 123", QByteArray("ABC 123")},
        {u"馬印", QByteArray("\x94\x6e\x88\xf3")},
        {u"～", QByteArray("\x81\x60")}, // FULLWIDTH TILDE, as Windows writes it
        {u"ｶﾞ", QByteArray("\xb6\xde")}, // half-width katakana: one byte each
        {u"東京", QByteArray("\x93\x8c\x8b\x9e")},
        {u"Ｇ１", QByteArray("\x82\x66\x82\x50")},
        {u"①", QByteArray("\x87\x40")},  // NEC special row, CP932 only
        {u"－", QByteArray("\x81\x7c")}, // FULLWIDTH HYPHEN-MINUS
        {u"", QByteArray()},
    };
    for (const RoundTrip &c : cases) {
        const QString text = QString::fromUtf16(c.text);
        EXPECT_EQ(toSjis(text), c.bytes) << text.toStdString();
        EXPECT_EQ(fromSjis(c.bytes), text) << text.toStdString();
    }
}

TEST(Sjis, FirstCharacterThatCannotBeWritten)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"/home/u/馬券/", u""}, {u"C:\\ダウンロード～①", u""}, {u"?", u""},  {u"/x/café/é", u"é"},
        {u"a😀b", u"😀"},          {u"\uFFFDx", u"\uFFFD"},       {u"€", u"€"},
    };
    for (const auto &[text, first] : cases)
        EXPECT_EQ(firstUnencodable(QString::fromUtf16(text)), QString::fromUtf16(first));
}

TEST(Sjis, WidthConversion)
{
    struct Case {
        const char16_t *in;
        const char16_t *half;
        const char16_t *full;
    } cases[] = {
        {u"１１Ｒ", u"11R", u"１１Ｒ"}, {u"ガンバ", u"ｶﾞﾝﾊﾞ", u"ガンバ"}, {u"3", u"3", u"３"},
        {u"ｶﾞ", u"ｶﾞ", u"ガ"},          {u"東京", u"東京", u"東京"},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(toHalfWidth(QString::fromUtf16(c.in)), QString::fromUtf16(c.half));
        EXPECT_EQ(toFullWidth(QString::fromUtf16(c.in)), QString::fromUtf16(c.full));
    }
    // Converting changes byte lengths: measure after converting.
    EXPECT_EQ(toSjis(toHalfWidth(QStringLiteral("ガ"))).size(), 2);
}

TEST(TextFile, ReadsCrLfAndBareLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    struct Case {
        QByteArray bytes;
        QStringList lines;
    } cases[] = {
        {QByteArray("a\r\nb\r\n"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QByteArray("a\nb"), {QStringLiteral("a"), QStringLiteral("b")}},
        {QByteArray("a\r\n\r\nb\r\n"), {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QByteArray("\x94\x6e \r\n"), {QStringLiteral("馬 ")}},
        {QByteArray(""), {}},
        {QByteArray("\r\n"), {QString()}},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(korvin::test::writeFile(path, c.bytes));
        const auto lines = readLines(path);
        ASSERT_TRUE(lines.has_value());
        EXPECT_EQ(*lines, c.lines) << c.bytes.toStdString();
    }
    EXPECT_FALSE(readLines(dir.filePath(QStringLiteral("missing.txt"))).has_value());
}

using korvin::test::readFile;

TEST(TextFile, WritesCp932WithCrLf)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("w.txt"));
    ASSERT_TRUE(writeLines(path, {QStringLiteral("馬"), QStringLiteral("～ｱ")}));
    EXPECT_EQ(readFile(path), QByteArray("\x94\x6e\r\n\x81\x60\xb1\r\n"));
    ASSERT_TRUE(appendLines(path, {QStringLiteral("x")}));
    EXPECT_EQ(readFile(path), QByteArray("\x94\x6e\r\n\x81\x60\xb1\r\nx\r\n"));
    // Through a named file (the steps: SafeFile), which does not stay.
    ASSERT_TRUE(writeLinesVia(dir.filePath("new.txt"), path, {QStringLiteral("馬")}));
    EXPECT_EQ(readFile(path), QByteArray("\x94\x6e\r\n"));
    EXPECT_FALSE(QFile::exists(dir.filePath("new.txt")));
}

} // namespace
