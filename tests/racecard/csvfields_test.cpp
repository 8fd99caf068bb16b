#include "racecard/csvfields.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace korvin::racecard;

namespace {
QStringList stored(const QString &line)
{
    CsvFields f;
    const int n = SplitCsvLine(line, f);
    QStringList out;
    for (int i = 0; i < n; ++i)
        out << f[i];
    return out;
}
} // namespace

TEST(SplitCsvLine, QuotingAndBlankRules)
{
    struct Case {
        const char *line;
        QStringList fields;
    } cases[] = {
        {"a,b,c", {"a", "b"}}, // the text behind the last comma is not stored
        {"a,b,c,", {"a", "b", "c"}},
        {"abc", {}},                    // no comma, nothing stored
        {"\"x, y\",z,", {"x, y", "z"}}, // comma and blank inside quotes stay
        {"a b,c,", {"ab", "c"}},        // blanks outside quotes are dropped
        {"  a , b ,", {"a", "b"}},
        {"ab\"c,d,", {"ab\"c", "d"}},   // a quote inside an unquoted field stays
        {"\"a\"b\",c,", {"a\"b", "c"}}, // neither opening nor closing: kept
        {"\"q\" ,r,", {"q", "r"}},      // closing quote: blanks before the comma skipped
        {"\"\",x,", {"", "x"}},         // an empty quoted field closes
        {"\" \",x,", {" ", "x"}},
        {",,", {"", ""}},
        {"\"全角　空白\",1,", {"全角　空白", "1"}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(stored(QString::fromUtf8(c.line)), c.fields) << c.line;
}

TEST(SplitCsvLine, MoreThanTheTableHoldsIsCut)
{
    QString line;
    for (int i = 0; i < 300; ++i)
        line += QString::number(i) + QLatin1Char(',');
    CsvFields f;
    EXPECT_EQ(SplitCsvLine(line, f), kCsvFieldCount);
    EXPECT_EQ(f[255], QStringLiteral("255"));
    // A shorter line split into the same table leaves nothing of the long one.
    EXPECT_EQ(SplitCsvLine(QStringLiteral("9,8,"), f), 2);
    EXPECT_EQ(f[1], QStringLiteral("8"));
    EXPECT_TRUE(f[2].isEmpty());
}
