#include "platform/dialogs.h"
#include "platform/textfile.h"
#include "platform/ui/filechooser.h"
#include "racecard/fixtures.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmDataList.h"
#include "racecard/ui/frmFileSelectDenCSV.h"
#include "racecard/ui/frmMarking.h"
#include "racecard/ui/frmRaceList.h"
#include "common/settings.h"
#include "support/payoutrecord.h"
#include "support/testutil.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QDir>
#include <QPointer>
#include <QPushButton>
#include <gtest/gtest.h>

using namespace korvin;
using namespace korvin::racecard;
using namespace korvin::racecard::ui;
using korvin::test::CsvLine;
using korvin::test::R;

namespace {

// Races 1, 2 and 5 at 東京, race 3 at 中山.
QStringList card()
{
    QStringList lines;
    for (const char *k : {"0500340101", "0500340102", "0500340201", "0500340501", "0500340502", "0600340301"}) {
        auto r = R(QString::fromLatin1(k));
        r.interval = QStringLiteral("12");
        lines << CsvLine(r);
    }
    return lines;
}

template <class W>
void dispose(QPointer<W> &w)
{
    if (w)
        delete w.data();
}

// The scratch day, and the windows opened over it: the file selection, its
// race list with DC001005.csv chosen, a race's data list.
struct Day {
    test::ScratchHome home;
    platform::ScopedRecordingDialogs dialogs;
    QString mdata;
    RaceCardSelection selection;
    QPointer<frmFileSelectDenCSV> files;
    frmRaceList *list = nullptr;
    Day()
    {
        home.writeDefaultSettings();
        mdata = home.folder() + QStringLiteral("MData/");
        home.writeLines(QStringLiteral("DenCSV/DC001005.csv"), card());
        home.writeBytes(QStringLiteral("DenCSV/DC000000.csv"), {});
        home.writeLines(QStringLiteral("DenCSV/other.csv"), card());
    }
    ~Day() { dispose(files); }
    QStringList markLines() const
    {
        return platform::readLines(mdata + QStringLiteral("Um003東.dat")).value_or(QStringList());
    }
    frmFileSelectDenCSV *openFiles() { return files = new frmFileSelectDenCSV(nullptr, selection); }
    frmRaceList *openList()
    {
        if (!files)
            openFiles();
        files->chooser()->selectFile(QStringLiteral("DC001005.csv"));
        files->cmdFileList_Click(0);
        return list = qobject_cast<frmRaceList *>(files->raceList());
    }
    frmDataList *openData(int race)
    {
        if (!openList())
            return nullptr;
        list->cmdRace_Click(race);
        return qobject_cast<frmDataList *>(list->openedWindow());
    }
};

} // namespace

TEST(RaceCardWindows, FileSelection)
{
    Day d;
    frmFileSelectDenCSV *files = d.openFiles();
    files->show();
    EXPECT_EQ(files->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / 出馬表CSVファイル"));
    EXPECT_EQ(files->chooser()->fileNames(), (QStringList{"DC000000.csv", "DC001005.csv"}));
    EXPECT_TRUE(d.dialogs.shown.empty());

    // (Nothing chosen: the shared file selection's message, TimeRankWindows.FileSelectListsTheKindAndChecksTheChoice.)
    files->chooser()->selectFile(QStringLiteral("DC000000.csv"));
    files->cmdFileList_Click(0);
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_TRUE(d.dialogs.shown[0].text.contains(QStringLiteral("レースがありません")));
    EXPECT_EQ(files->raceList(), nullptr);
    EXPECT_TRUE(files->isVisible());

    d.dialogs.clear();
    QPointer<frmRaceList> list = d.openList();
    ASSERT_TRUE(list);
    EXPECT_TRUE(d.dialogs.shown.empty());
    EXPECT_FALSE(files->isVisible());
    EXPECT_EQ(d.selection.csvName, QStringLiteral("DC001005.csv"));
    // Folders of the settings end with the platform's separator ("\" on Windows).
    EXPECT_EQ(d.selection.csvPath, QDir::toNativeSeparators(d.home.path(QStringLiteral("DenCSV/DC001005.csv"))));
    // Closing the race list shows the file selection again.
    list->cmdRaceList_Click(0);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(files->isVisible());
}

TEST(RaceCardWindows, MissingFolder)
{
    test::ScratchHome home;
    platform::ScopedRecordingDialogs dialogs;
    home.writeLines(QStringLiteral("Korvin.ini"), {QStringLiteral("DenCSV    /no/such/folder/")});
    RaceCardSelection selection;
    QPointer<frmFileSelectDenCSV> files = new frmFileSelectDenCSV(nullptr, selection);
    EXPECT_EQ(dialogs.texts(), QStringList{"Path not found!! ( /no/such/folder/ )"});
    dispose(files);
}

TEST(RaceCardWindows, RaceListButtons)
{
    Day d;
    frmRaceList *list = d.openList();
    ASSERT_TRUE(list);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / RaceList"));
    EXPECT_EQ(list->cmdPlace(0)->text(), QStringLiteral("東京"));
    EXPECT_EQ(list->cmdPlace(1)->text(), QStringLiteral("中山"));
    EXPECT_EQ(list->cmdPlace(2)->text(), QStringLiteral("    "));
    EXPECT_FALSE(list->cmdPlace(2)->isEnabled());
    EXPECT_EQ(list->cmdRace(0)->text(), QStringLiteral("00年 ３回東京４日目 01R D1200m   未勝利 08頭"));
    EXPECT_TRUE(list->cmdRace(4)->isEnabled());
    for (int i : {2, 3, 5, 11}) {
        EXPECT_FALSE(list->cmdRace(i)->isEnabled()) << i;
        EXPECT_TRUE(list->cmdRace(i)->text().isEmpty());
    }
    EXPECT_EQ(list->cmdRaceList(1)->text(), QStringLiteral("検証"));
    EXPECT_EQ(d.selection.course, QStringLiteral("05"));

    d.selection.race.key = QStringLiteral("unchanged");
    list->cmdPlace_Click(1);
    EXPECT_EQ(d.selection.course, QStringLiteral("06"));
    EXPECT_FALSE(list->cmdRace(0)->isEnabled());
    EXPECT_TRUE(list->cmdRace(2)->isEnabled());
    EXPECT_EQ(d.selection.race.key, QStringLiteral("unchanged"));

    list->cmdRace_Click(2);
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(d.selection.raceIndex, 2);
    EXPECT_EQ(d.selection.race.key, QStringLiteral("06003403"));
    auto *data = qobject_cast<frmDataList *>(list->openedWindow());
    ASSERT_TRUE(data);
    EXPECT_EQ(data->LabelRaceName()->text(), list->cmdRace(2)->text());
    EXPECT_EQ(data->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / DataList"));
}

TEST(RaceCardWindows, DataListCellsAndZISwitch)
{
    Day d;
    // Payouts of day 4, race 1: one win, three places.
    d.home.writeBytes(
        QStringLiteral("SData/003東.dat"),
        test::PayoutRecord("4", "01").tan(0, "02", 450).fuku(0, "01", 120).fuku(1, "01", 120).fuku(2, "01", 120).b);
    frmDataList *data = d.openData(0);
    ASSERT_TRUE(data);
    data->show();
    EXPECT_EQ(data->findChild<QLabel *>(QStringLiteral("LabelTan_0"))->text(), QStringLiteral("02     450"));
    std::vector<bool> shown;
    for (const char *name :
         {"ShapeSei1", "LabelSei1_3", "LabelSei1_4", "LabelTan_0", "LabelTan_1", "LabelFuku_2", "LabelFuku_3"})
        shown.push_back(data->findChild<QWidget *>(QString::fromLatin1(name))->isVisible());
    for (QWidget *w : std::initializer_list<QWidget *>{data->cell(1, ColNo), data->cell(2, ColNo), data->txtMark(1),
                                                       data->txtMark(2)})
        shown.push_back(w->isVisible());
    EXPECT_EQ(shown, (std::vector<bool>{true, true, false, true, false, true, false, true, false, true, false}));
    EXPECT_EQ(data->cell(1, ColNo)->text(), QStringLiteral("02"));
    EXPECT_EQ(data->cell(0, ColInt)->palette().color(data->cell(0, ColInt)->backgroundRole()), QColor(128, 255, 128));
    EXPECT_EQ(data->cell(0, ColResult)->palette().color(QPalette::Window), QColor(255, 255, 128));
    EXPECT_EQ(data->cell(0, ColZI)->text(), QStringLiteral("50"));
    // Odds of three digits and a decimal stay apart from the result beside
    // them ("8" and "130.4" must not read as "8130.4"), and Max still ends
    // under its heading.
    const QLabel *odds = data->cell(0, ColOdds);
    const QFontMetrics fm(odds->font());
    EXPECT_GE(odds->width(), fm.horizontalAdvance(QStringLiteral("0130.4")));
    const int unit = fm.horizontalAdvance(QLatin1Char('0'));
    EXPECT_EQ(odds->width() + data->cell(0, ColMax)->width(), 10 * unit);
    EXPECT_GE(data->cell(0, ColMax)->width(), fm.horizontalAdvance(QStringLiteral("0100")));
    // Without a VTX file its columns are hidden but keep their room, so ZI and
    // Int still end under their words of the header (columns 60 and 66
    // counted from the horse number's first column).
    EXPECT_FALSE(data->cell(0, ColT1)->isVisible());
    const int noLeft = data->cell(0, ColNo)->geometry().left();
    EXPECT_EQ(data->cell(0, ColZI)->geometry().right() + 1 - noLeft, 60 * unit);
    EXPECT_EQ(data->cell(0, ColInt)->geometry().right() + 1 - noLeft, 66 * unit);
    EXPECT_EQ(data->cell(0, ColMax)->geometry().right() + 1 - noLeft, 24 * unit);
    EXPECT_FALSE(data->LabelKT()->isVisible());
    data->CheckZI()->click();
    EXPECT_TRUE(data->LabelKT()->isVisible());
    EXPECT_EQ(data->LabelKT()->text(), QStringLiteral("平均： 50.0"));
    EXPECT_EQ(data->LabelHH()->text(), QStringLiteral("標準偏差： 0.0"));
    data->CheckZI()->click();
    EXPECT_FALSE(data->LabelHH()->isVisible());
}

// Each word of the header stands over its own column, whatever the font's
// widths: its x-range lies inside the x-range of the column's cells.
TEST(RaceCardWindows, DataListHeaderWordsStandOverTheirColumns)
{
    Day d;
    frmDataList *data = d.openData(0);
    ASSERT_TRUE(data);
    data->show();
    QCoreApplication::processEvents();
    struct Word {
        QString text;
        int left, right; // window x-range
    };
    std::vector<Word> words;
    for (QLabel *label : data->findChildren<QLabel *>()) {
        if (!label->objectName().startsWith(QStringLiteral("Label1")))
            continue;
        const QString text = label->text();
        const QFontMetrics fm(label->font());
        const QRect box = label->contentsRect().adjusted(label->margin(), 0, -label->margin(), 0);
        const int origin =
            label->mapTo(data, QPoint(0, 0)).x() +
            (label->alignment() & Qt::AlignRight ? box.right() + 1 - fm.horizontalAdvance(text) : box.left());
        for (qsizetype i = 0; i < text.size();) {
            if (text.at(i) == QLatin1Char(' ')) {
                ++i;
                continue;
            }
            qsizetype j = i;
            while (j < text.size() && text.at(j) != QLatin1Char(' '))
                ++j;
            const int x = origin + fm.horizontalAdvance(text.left(i));
            words.push_back({text.mid(i, j - i), x, x + fm.horizontalAdvance(text.mid(i, j - i))});
            i = j;
        }
    }
    std::sort(words.begin(), words.end(), [](const Word &a, const Word &b) { return a.left < b.left; });
    const std::pair<const char16_t *, Column> columns[] = {
        {u"No", ColNo},   {u"Res", ColResult}, {u"Win", ColOdds}, {u"Max", ColMax}, {u"Min", ColMin},
        {u"Ave", ColAve}, {u"芝短", ColT1},    {u"中", ColT2},    {u"ダ短", ColD1}, {u"中", ColD2},
        {u"脚", ColPace}, {u"ZI", ColZI},      {u"Int", ColInt}};
    ASSERT_EQ(words.size(), std::size(columns));
    for (size_t i = 0; i < words.size(); ++i) {
        const QLabel *cell = data->cell(0, columns[i].second);
        const int left = cell->mapTo(data, QPoint(0, 0)).x();
        EXPECT_EQ(words[i].text, QString::fromUtf16(columns[i].first));
        EXPECT_GE(words[i].left, left) << i;
        EXPECT_LE(words[i].right, left + cell->width()) << words[i].text.toStdString();
    }
}

TEST(RaceCardWindows, BackNextMessagesAndMarksSavedFirst)
{
    Day d;
    QPointer<frmDataList> data = d.openData(1); // race 2
    ASSERT_TRUE(data);
    frmRaceList *list = d.list;
    EXPECT_EQ(d.markLines().size(), 96); // created blank by the load

    // Next over races 3 and 4 (no buttons) to race 5; the marks of race 2 are saved first.
    data->txtMark(0)->setText(QStringLiteral("◎"));
    QString savedBeforeMessage;
    d.dialogs.onShown = [&](const auto &) {
        if (savedBeforeMessage.isEmpty())
            savedBeforeMessage = d.markLines().value(37); // day 4 race 2: line 38
    };
    data->cmdDataList(2)->click();
    EXPECT_EQ(savedBeforeMessage, QStringLiteral("      ◎") + QString(34, QLatin1Char(' ')));
    EXPECT_EQ(d.dialogs.texts(), (QStringList{"3R はありません．", "4R はありません．"}));
    EXPECT_EQ(d.selection.raceIndex, 4);
    EXPECT_EQ(d.selection.race.key, QStringLiteral("05003405"));
    EXPECT_EQ(data->LabelRaceName()->text(), list->cmdRace(4)->text());
    EXPECT_EQ(data->txtMark(0)->text(), QStringLiteral("  "));

    // Next on the last race: nothing to move to, the marks are saved all the same.
    d.dialogs.clear();
    data->txtMark(1)->setText(QStringLiteral("ab3"));
    data->cmdDataList(2)->click();
    EXPECT_EQ(d.dialogs.texts().last(), QStringLiteral("次のレースはありません"));
    EXPECT_EQ(d.dialogs.texts().size(), 8); // 6R .. 12R, then the end
    EXPECT_EQ(d.selection.raceIndex, 4);
    EXPECT_EQ(d.markLines().value(40), QStringLiteral("        ab") + QString(32, QLatin1Char(' ')));

    // Back to race 2 shows its saved mark.
    d.dialogs.clear();
    data->cmdDataList(1)->click();
    EXPECT_EQ(d.dialogs.texts(), (QStringList{"4R はありません．", "3R はありません．"}));
    EXPECT_EQ(data->txtMark(0)->text(), QStringLiteral("◎"));
    EXPECT_EQ(data->txtMark(1)->text(), QStringLiteral("  "));

    // "Marking" saves, then opens the marking window; only its "Close" acts.
    data->txtMark(1)->setText(QStringLiteral("B"));
    data->cmdDataList(3)->click();
    EXPECT_EQ(d.markLines().value(37), QStringLiteral("      ◎B ") + QString(32, QLatin1Char(' ')));
    QPointer<frmMarking> marking = qobject_cast<frmMarking *>(data->markingWindow());
    ASSERT_TRUE(marking);
    EXPECT_EQ(marking->windowTitle(), QStringLiteral("<< Korvin >> Tipwise for Vantor  / Marking"));
    EXPECT_EQ(marking->cmdMarking(5)->text(), QStringLiteral("全ての馬印ｸﾘｱ"));
    marking->cmdMarking(1)->click();
    marking->cmdMarking(5)->click();
    EXPECT_TRUE(marking);
    // A second "Marking" brings the same window to the front, never a second one.
    marking->hide();
    data->cmdDataList(3)->click();
    EXPECT_EQ(data->markingWindow(), marking.data());
    EXPECT_TRUE(marking->isVisible());
    int markingWindows = 0;
    for (QWidget *w : QApplication::topLevelWidgets())
        markingWindows += qobject_cast<frmMarking *>(w) ? 1 : 0;
    EXPECT_EQ(markingWindows, 1);
    marking->cmdMarking(0)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(marking);

    // "Close" saves and returns to the race list.
    data->txtMark(0)->setText(QStringLiteral("  ○  "));
    data->cmdDataList(0)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(data);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(d.markLines().value(37), QStringLiteral("      ○B ") + QString(32, QLatin1Char(' ')));
    EXPECT_EQ(d.markLines().size(), 96);
}

TEST(RaceCardWindows, BackOnTheFirstRaceAndFrameClose)
{
    Day d;
    frmDataList *data = d.openData(0);
    ASSERT_TRUE(data);
    d.dialogs.clear();
    data->cmdDataList(1)->click();
    EXPECT_EQ(d.dialogs.texts(), QStringList{"前のレースはありません"});
    EXPECT_EQ(d.selection.race.key, QStringLiteral("05003401"));
    // A mark Shift-JIS cannot hold is refused, never saved as "?": the
    // window stays on the race, by its buttons and by its frame.
    const QStringList before = d.markLines();
    d.dialogs.clear();
    data->txtMark(2)->setText(QStringLiteral("é"));
    data->cmdDataList(2)->click();
    data->close();
    EXPECT_TRUE(data->isVisible());
    EXPECT_EQ(d.selection.race.key, QStringLiteral("05003401"));
    EXPECT_EQ(d.markLines(), before);
    ASSERT_EQ(d.dialogs.shown.size(), 2u);
    EXPECT_EQ(d.dialogs.shown[0].kind, platform::MessageKind::Critical);
    EXPECT_EQ(d.dialogs.shown[1].text, QStringLiteral("馬番 3 の馬印 の「é」は Shift-JIS で保存できない文字です．"));
    // A character past the two bytes saved is never written, so it is no reason to refuse.
    data->txtMark(2)->setText(QStringLiteral("◎é"));
    // Closed by the window frame: the marks are saved all the same.
    data->txtMark(0)->setText(QStringLiteral("▲"));
    data->close();
    EXPECT_EQ(d.markLines().value(36), QStringLiteral("      ▲  ◎") + QString(30, QLatin1Char(' ')));
    EXPECT_TRUE(d.list->isVisible());
}

TEST(RaceCardWindows, SettingsAreReadOnceWhenTheFileSelectionOpens)
{
    // A bad Wait line is reported where the settings are read: when the file
    // selection opens, not again on every race the data list shows.
    Day d;
    QStringList ini = platform::readLines(d.home.path(QStringLiteral("Korvin.ini"))).value_or(QStringList());
    ini << QStringLiteral("Wait1     x");
    d.home.writeLines(QStringLiteral("Korvin.ini"), ini);
    d.openFiles();
    ASSERT_EQ(d.dialogs.shown.size(), 1u);
    EXPECT_EQ(d.dialogs.shown[0].kind, platform::MessageKind::Critical);
    d.dialogs.clear();
    frmDataList *data = d.openData(0);
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->cell(0, ColNo)->text() == QStringLiteral("01"));
    data->cmdDataList(2)->click(); // to race 2
    EXPECT_EQ(d.selection.race.key, QStringLiteral("05003402"));
    EXPECT_TRUE(d.dialogs.shown.empty()) << d.dialogs.texts().join(QLatin1Char('|')).toStdString();
    // The marks still go to the MData folder the selection read.
    EXPECT_EQ(d.markLines().size(), 96);
}
