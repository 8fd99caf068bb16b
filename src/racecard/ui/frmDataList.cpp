#include "racecard/ui/frmDataList.h"

#include "platform/ui/buttonarray.h"
#include "platform/ui/selectonfocus.h"
#include "racing/ui/payoutpanel.h"

#include "platform/dialogs.h"
#include "platform/sjis.h"
#include "racecard/racetable.h"
#include "racecard/ui/frmMarking.h"
#include "racing/horsemarks.h"
#include "common/settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <iterator>

namespace korvin::racecard::ui {

QColor BackgroundColour(CellColour c)
{
    if (const auto rgb = BackgroundRgb(c))
        return QColor(QRgb(*rgb));
    if (c == CellColour::Menu)
        return QApplication::palette("QMenu").color(QPalette::Window);
    return QApplication::palette().color(QPalette::Button);
}

namespace {
// Left to right as a row shows: frame, horse number, mark, abnormal result,
// result, odds, Max, Min, Ave, the VTX columns, ZI, interval, past races.
const Column kDisplayOrder[] = {ColWaku,  ColNo,    ColMark,  ColError, ColResult, ColOdds,  ColMax,  ColMin,
                                ColAve,   ColT1,    ColT2,    ColD1,    ColD2,     ColPace,  ColZI,   ColInt,
                                ColTime1, ColTime2, ColTime3, ColTime4, ColTime5,  ColTime6, ColTime7};
// Width of each column in half-width characters, so that the columns from the
// horse number to the interval end under the words of the header line.
int columnChars(Column c)
{
    switch (c) {
    case ColWaku: return 3;
    case ColNo: return 4; // "  No"
    case ColMark: return 3;
    case ColError: return 4;
    case ColResult: return 3; // "Res" ends at 14
    case ColOdds: return 6;   // a blank before odds such as 130.4
    case ColMax: return 4;    // "Max" ends at 24
    case ColMin:
    case ColAve: return 4;
    case ColT1: return 7; // "芝短" ends at 39
    case ColT2: return 3;
    case ColD1: return 5;
    case ColD2: return 3;
    case ColPace: return 4;
    case ColZI: return 6;
    case ColInt: return 6; // "Int" ends at 66
    default: return 6;
    }
}
// A hidden cell (no VTX file, a row without a runner) keeps its width, so
// the columns behind it do not move away from the header.
void keepRoomWhenHidden(QWidget *w)
{
    QSizePolicy p = w->sizePolicy();
    p.setRetainSizeWhenHidden(true);
    w->setSizePolicy(p);
}
bool rightAligned(Column c) { return c != ColError && c < ColTime1; }
// The header's word over each column ("  No       Res Win   Max Min Ave   芝短 中 ダ短 中  脚    ZI   Int").
QString headerWord(Column c)
{
    switch (c) {
    case ColNo: return QStringLiteral("No");
    case ColResult: return QStringLiteral("Res");
    case ColOdds: return QStringLiteral("Win");
    case ColMax: return QStringLiteral("Max");
    case ColMin: return QStringLiteral("Min");
    case ColAve: return QStringLiteral("Ave");
    case ColT1: return QStringLiteral("芝短");
    case ColT2: return QStringLiteral("中");
    case ColD1: return QStringLiteral("ダ短");
    case ColD2: return QStringLiteral("中");
    case ColPace: return QStringLiteral("脚");
    case ColZI: return QStringLiteral("ZI");
    case ColInt: return QStringLiteral("Int");
    default: return {};
    }
}
} // namespace

frmDataList::frmDataList(QWidget *opener, RaceCardSelection &selection, const QString &caption)
    : KorvinWindow(opener), m_selection(selection)
{
    build(caption);
    LoadDataList();
}

frmDataList::frmDataList(QWidget *opener, RaceCardSelection &selection, const DataListModel &model)
    : KorvinWindow(opener), m_selection(selection)
{
    build(model.title);
    m_model = model;
    m_checkZI->setChecked(model.ziOn);
    showModel();
}

void frmDataList::build(const QString &caption)
{
    setObjectName(QStringLiteral("frmDataList"));
    setWindowTitle(platform::ui::kTitlePrefix + QStringLiteral("  / DataList"));
    const QFont fixed = platform::ui::fixedPitchFont(10);
    const QFontMetrics fm(fixed);

    m_raceName = new QLabel(caption, this);
    m_raceName->setObjectName(QStringLiteral("LabelRaceName"));
    m_raceName->setFont(platform::ui::fixedPitchFont(13));

    const int unit = fm.horizontalAdvance(QLatin1Char('0'));
    // One width per column for its header word and its cells: a header laid
    // out as one text drifts off its columns wherever the font's characters
    // do not advance by whole units.
    auto columnWidth = [&](Column c) { return qMax(unit * columnChars(c), fm.horizontalAdvance(headerWord(c))); };

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(1);
    int headerIndex = 0;
    for (int col = 0; col < int(std::size(kDisplayOrder)); ++col) {
        const Column c = kDisplayOrder[col];
        if (headerWord(c).isEmpty())
            continue;
        auto *word = new QLabel(headerWord(c), this);
        word->setObjectName(QStringLiteral("Label1_%1").arg(headerIndex++));
        word->setFont(fixed);
        word->setFixedWidth(columnWidth(c));
        word->setAlignment((rightAligned(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        grid->addWidget(word, 0, col);
    }
    for (int r = 0; r < kDataRows; ++r) {
        int col = 0;
        for (Column c : kDisplayOrder) {
            const int width = columnWidth(c);
            if (c == ColMark) {
                auto *box = new QLineEdit(this);
                box->setObjectName(QStringLiteral("txtMark_%1").arg(r));
                box->setFont(fixed);
                box->setFixedWidth(width);
                box->setTextMargins(0, 0, 0, 0);
                box->setAlignment(Qt::AlignCenter);
                platform::ui::selectAllOnFocus(box);
                keepRoomWhenHidden(box);
                box->setVisible(false);
                m_marks[r] = box;
                grid->addWidget(box, r + 1, col++);
                continue;
            }
            auto *label = new QLabel(this);
            label->setObjectName(QStringLiteral("Label%1_%2").arg(ColumnNames()[c]).arg(r));
            label->setFont(fixed);
            label->setFixedWidth(width);
            label->setAlignment((rightAligned(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
            label->setAutoFillBackground(true);
            label->setContentsMargins(c >= ColTime1 ? unit : 0, 0, 0, 0);
            keepRoomWhenHidden(label);
            label->setVisible(false);
            m_cells[r][c] = label;
            grid->addWidget(label, r + 1, col++);
        }
    }
    // Room the rows do not need goes behind the last column, not between the
    // columns, which must stay under their words of the header.
    grid->setColumnStretch(int(std::size(kDisplayOrder)), 1);

    m_checkZI = new QCheckBox(QStringLiteral("ZI 偏差値"), this);
    m_checkZI->setObjectName(QStringLiteral("CheckZI"));
    connect(m_checkZI, &QCheckBox::clicked, this, [this] { CheckZI_Click(); });
    m_kt = new QLabel(this);
    m_kt->setObjectName(QStringLiteral("LabelKT"));
    m_kt->setVisible(false);
    m_hh = new QLabel(this);
    m_hh->setObjectName(QStringLiteral("LabelHH"));
    m_hh->setVisible(false);

    // Payout area: a frame with the row titles and the entries below each other.
    m_payoutFrame = new racing::ui::PayoutPanel(racing::ui::PayoutPanel::Layout::Stacked, this);

    const std::array<QString, 4> captions{QStringLiteral("Close"), QStringLiteral("Back"), QStringLiteral("Next"),
                                          QStringLiteral("Marking")};
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_checkZI);
    buttons->addWidget(m_kt);
    buttons->addWidget(m_hh);
    buttons->addStretch();
    m_buttons =
        platform::ui::ButtonArray(this, QStringLiteral("cmdDataList"), captions, &frmDataList::cmdDataList_Click);
    for (QPushButton *b : m_buttons)
        buttons->addWidget(b);

    auto *rows = new QVBoxLayout;
    rows->addLayout(grid);
    rows->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(m_payoutFrame);
    right->addStretch();
    auto *body = new QHBoxLayout;
    body->addLayout(rows);
    body->addLayout(right);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_raceName);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
}

void frmDataList::paint(QWidget *w, CellColour c)
{
    QPalette p = w->palette();
    p.setColor(w->backgroundRole(), BackgroundColour(c));
    w->setPalette(p);
}

void frmDataList::LoadDataList()
{
    // The chosen file and race; the settings are those the file selection read when it opened.
    RaceContext context;
    context.csvPath = m_selection.csvPath;
    context.csvName = m_selection.csvName;
    context.race = m_selection.race;
    context.caption = m_raceName->text();
    context.settings = common::Settings;
    context.ziOn = m_checkZI->isChecked();
    m_model = racecard::LoadDataList(context);
    showModel();
}

void frmDataList::showModel()
{
    for (int r = 0; r < kDataRows; ++r) {
        const DataRow &row = m_model.rows[r];
        for (int c = 0; c < kColumnCount; ++c) {
            const DataCell &cell = row.cells[c];
            if (c == ColMark) {
                m_marks[r]->setText(cell.text);
                m_marks[r]->setVisible(cell.visible);
                continue;
            }
            QLabel *label = m_cells[r][c];
            label->setText(cell.text);
            paint(label, cell.colour);
            label->setVisible(cell.visible);
        }
    }

    m_payoutFrame->showArea(m_model.payouts);

    showZI();
    platform::ShowMessages(m_model.messages);
    // The marks typed for this race could not be saved: said before they are typed.
    if (!m_model.markError.isEmpty())
        platform::dialogs().critical(m_model.markError);
}

void frmDataList::showZI()
{
    for (int r = 0; r < m_model.runnerCount; ++r)
        m_cells[r][ColZI]->setText(m_model.rows[r][ColZI].text);
    m_kt->setText(m_model.meanLabel.text);
    m_kt->setVisible(m_model.meanLabel.visible);
    m_hh->setText(m_model.deviationLabel.text);
    m_hh->setVisible(m_model.deviationLabel.visible);
}

void frmDataList::CheckZI_Click()
{
    ShowZIColumn(m_model, m_checkZI->isChecked());
    showZI();
}

bool frmDataList::saveMarks()
{
    std::array<QString, kDataRows> boxes;
    for (int r = 0; r < kDataRows; ++r)
        boxes[r] = m_marks[r]->text();
    // A mark the file cannot hold would come back as "?": the user is asked
    // to change it, and the window stays on the race until then.
    const UnsavableMark bad = FindUnsavableMark(boxes);
    if (bad.row >= 0) {
        platform::dialogs().critical(
            platform::unencodableMessage(QStringLiteral("馬番 %1 の馬印").arg(bad.row + 1), bad.character));
        m_marks[bad.row]->setFocus();
        return false;
    }
    QString error;
    const QString &key = m_selection.race.key;
    if (!racing::WriteHorseMarks(JoinMarks(boxes), key, common::Settings.MData, &error))
        platform::dialogs().critical(QStringLiteral("馬印ファイルを保存できません． ( %1 )\n%2")
                                         .arg(common::Settings.MData + racing::HorseMarkFileName(key), error));
    return true;
}

void frmDataList::cmdDataList_Click(int index)
{
    // The marks on screen are saved whenever the user leaves or acts.
    if (!saveMarks())
        return;
    switch (index) {
    case 0:
        m_marksSaved = true;
        close();
        break;
    case 1: moveRace(-1); break;
    case 2: moveRace(+1); break;
    case 3:
        // One marking window: another click brings it to the front.
        if (!m_marking)
            m_marking = new frmMarking(this);
        m_marking->show();
        m_marking->raise();
        m_marking->activateWindow();
        break;
    default: break;
    }
}

void frmDataList::moveRace(int direction)
{
    const RaceMove m = MoveRace(m_selection.raceButtons, m_selection.raceIndex, direction);
    platform::ShowMessages(m.messages);
    if (!m.moved)
        return;
    m_selection.raceIndex = m.index;
    m_selection.race = m.race;
    m_raceName->setText(m.caption);
    LoadDataList();
}

void frmDataList::closeUnchanged()
{
    m_marksSaved = true;
    closeQuietly();
}

void frmDataList::closeEvent(QCloseEvent *event)
{
    if (!m_marksSaved && !saveMarks()) {
        event->ignore();
        return;
    }
    m_marksSaved = true;
    KorvinWindow::closeEvent(event);
}

} // namespace korvin::racecard::ui
