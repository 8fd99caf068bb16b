#include "racing/payouts.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"

#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::racing;

using Record = korvin::test::PayoutRecord;

TEST(Payouts, RecordMatching)
{
    test::ScratchHome home;
    const QString sdata = home.makeFolder(QStringLiteral("SData"));
    const QString file = PayoutFileName(sdata, QStringLiteral("00"), QStringLiteral("3"), QStringLiteral("東京"));
    EXPECT_EQ(file, sdata + QStringLiteral("003東.dat"));

    QByteArray bytes;
    bytes += Record("4", "11").tan(0, "07", 1230).b; // replaced below
    bytes += Record("4", "10").tan(0, "01", 999).b;  // another race
    bytes += Record("3", "11").tan(0, "02", 888).b;  // another day
    bytes += Record("4", "11")
                 .tan(0, "07", 1230)
                 .tan(1, "09", 1500) // dead heat: two wins
                 .fuku(0, "07", 300)
                 .fuku(1, "09", 410)
                 .fuku(2, "03", 120)
                 .waku(0, "46", 2340)
                 .uma(0, "0709", 12345)
                 .b;
    home.writeBytes(QStringLiteral("SData/003東.dat"), bytes);

    PayoutArea a;
    const std::optional<RacePayouts> shownRecord = FillPayoutArea(a, file, QStringLiteral("4"), QStringLiteral("11"));
    EXPECT_TRUE(a.shown);
    EXPECT_EQ(a.placeRows, 3);
    const std::vector<std::pair<PayoutLabel, PayoutLabel>> labels = {
        {a.Tan[0], {"07    1230", true}},  {a.Tan[1], {"09    1500", true}},      {a.Tan[2], {"00       0", false}},
        {a.Fuku[2], {"03     120", true}}, {a.WakuRen[0], {"4-6    2340", true}}, {a.Uma[0], {"07-09    12345", true}},
    };
    for (const auto &[shown, want] : labels) {
        EXPECT_EQ(shown.text, want.text);
        EXPECT_EQ(shown.visible, want.visible) << want.text.toStdString();
    }
    for (const PayoutLabel &hidden :
         {a.Fuku[3], a.WakuRen[1], a.Uma[1], a.Wide[0], a.Wide[1], a.Wide[2], a.Wide[3], a.Wide[4]})
        EXPECT_FALSE(hidden.visible) << hidden.text.toStdString();

    // The race as text must equal the field; as a number its value.
    PayoutArea t;
    FillPayoutArea(t, file, QStringLiteral("4"), QStringLiteral("10"));
    EXPECT_EQ(t.Tan[0].text, QStringLiteral("01     999"));
    PayoutArea none;
    FillPayoutArea(none, file, QStringLiteral("4"), QStringLiteral(" 1"));
    EXPECT_FALSE(none.shown);
    PayoutArea num;
    FillPayoutArea(num, file, QStringLiteral("4"), 10);
    EXPECT_EQ(num.Tan[0].text, QStringLiteral("01     999"));
    PayoutArea missing;
    FillPayoutArea(missing, sdata + QStringLiteral("nothing.dat"), QStringLiteral("4"), 10);
    EXPECT_FALSE(missing.shown);

    // The same record as numbers: the last match, both winners of the dead
    // heat, "00" entries not listed; none for a race or file without a record.
    const std::optional<RacePayouts> p = FindRacePayouts(file, QStringLiteral("4"), QStringLiteral("11"));
    ASSERT_TRUE(p);
    auto entry = [](const PayoutEntry &e) { return std::vector<int>{e.horse, e.second, e.amount}; };
    EXPECT_EQ(entry(p->win[0]), (std::vector<int>{7, 0, 1230}));
    EXPECT_EQ(entry(p->win[1]), (std::vector<int>{9, 0, 1500}));
    EXPECT_EQ(entry(p->win[2]), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(entry(p->place[2]), (std::vector<int>{3, 0, 120}));
    EXPECT_EQ(entry(p->quinella[0]), (std::vector<int>{7, 9, 12345}));
    EXPECT_EQ(p->quinella[1].horse, 0);
    ASSERT_TRUE(shownRecord); // the area's read gives the same record
    EXPECT_EQ(entry(shownRecord->win[1]), entry(p->win[1]));
    EXPECT_EQ(entry(shownRecord->quinella[0]), entry(p->quinella[0]));
    EXPECT_EQ(FindRacePayouts(file, QStringLiteral("4"), 10)->win[0].horse, 1);
    EXPECT_FALSE(FindRacePayouts(file, QStringLiteral("4"), 12));
    EXPECT_FALSE(FindRacePayouts(sdata + QStringLiteral("nothing.dat"), QStringLiteral("4"), 10));

    // Four and five place entries size the frame.
    home.writeBytes(
        QStringLiteral("SData/5.dat"),
        Record("1", "01").fuku(0, "01", 1).fuku(1, "02", 1).fuku(2, "03", 1).fuku(3, "04", 1).b +
            Record("1", "02").fuku(0, "01", 1).fuku(1, "02", 1).fuku(2, "03", 1).fuku(3, "04", 1).fuku(4, "05", 1).b);
    PayoutArea four;
    FillPayoutArea(four, sdata + QStringLiteral("5.dat"), QStringLiteral("1"), 1);
    EXPECT_EQ(four.placeRows, 4);
    PayoutArea five;
    FillPayoutArea(five, sdata + QStringLiteral("5.dat"), QStringLiteral("1"), 2);
    EXPECT_EQ(five.placeRows, 5);

    // An amount that is not digits counts 0; a short last record is read for
    // the fields it reaches, 310 bytes at least.
    QByteArray odd = Record("2", "05").tan(0, "07", 1230).b;
    odd.replace(177, 7, "12x4   ");
    const QByteArray last = Record("2", "06").tan(0, "03", 450).b;
    for (const auto &[tail, shown] : {std::pair{last.left(310), true}, std::pair{last.left(309), false}}) {
        home.writeBytes(QStringLiteral("SData/6.dat"), odd + tail);
        PayoutArea notDigits, cut;
        FillPayoutArea(notDigits, sdata + QStringLiteral("6.dat"), QStringLiteral("2"), 5);
        FillPayoutArea(cut, sdata + QStringLiteral("6.dat"), QStringLiteral("2"), 6);
        EXPECT_EQ(notDigits.Tan[0].text, QStringLiteral("07       0"));
        EXPECT_EQ(cut.shown, shown);
        EXPECT_EQ(cut.Tan[0].text, shown ? QStringLiteral("03     450") : QString());
    }
}

// The year and meeting come from input files and become part of a path: only
// digits (and a known course) name a payout file, so no input reads outside
// the SData folder.
TEST(Payouts, FileNameOnlyFromDigitsAndAKnownCourse)
{
    test::ScratchHome home;
    const QString sdata = home.makeFolder(QStringLiteral("SData"));
    const struct {
        const char16_t *year, *meeting, *course;
        const char16_t *name; // empty: no file
    } cases[] = {
        {u"00", u"3", u"東京", u"003東.dat"}, {u"12", u"9", u"小倉", u"129小.dat"}, {u"..", u"/", u"東京", u""},
        {u"0.", u"3", u"東京", u""},          {u"00", u"/", u"東京", u""},          {u"00", u"3", u"..", u""},
        {u"０１", u"3", u"東京", u""},        {u"0", u"3", u"東京", u""},           {u"00", u"", u"東京", u""},
        {u"001", u"3", u"東京", u""},
    };
    for (const auto &c : cases) {
        const QString name = QString::fromUtf16(c.name);
        EXPECT_EQ(PayoutFileName(sdata, QString::fromUtf16(c.year), QString::fromUtf16(c.meeting),
                                 QString::fromUtf16(c.course)),
                  name.isEmpty() ? QString() : sdata + name);
    }
    // A race key "05../101" once read "<SData>/../東.dat".
    home.writeBytes(QStringLiteral("東.dat"), Record("1", "01").tan(0, "07", 1230).b);
    PayoutArea a;
    FillPayoutArea(a, PayoutFileName(sdata, QStringLiteral(".."), QStringLiteral("/"), QStringLiteral("東京")),
                   QStringLiteral("1"), QStringLiteral("01"));
    EXPECT_FALSE(a.shown);
}
