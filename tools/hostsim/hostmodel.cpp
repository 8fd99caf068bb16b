#include "hostmodel.h"

#include "demofiles.h"
#include "hostexports.h"
#include "racing/codetables.h"
#include "timerank/timerankfile.h"

#include <algorithm>

namespace korvin::hostsim {

using demodata::Surface;
using host::KeyAction;
using host::NamedKey;

namespace {

bool is(const KeyAction &k, NamedKey key)
{
    return k.kind == KeyAction::Kind::Named && k.key == key && !k.shift && !k.ctrl && !k.alt;
}

bool isChar(const KeyAction &k, char32_t c)
{
    return k.kind == KeyAction::Kind::Character && !k.ctrl && !k.alt && (k.character == c);
}

const QStringList &periodNames()
{
    static const QStringList names{QStringLiteral("全期間"), QStringLiteral("３ヶ月"), QStringLiteral("６ヶ月"),
                                   QStringLiteral("９ヶ月"), QStringLiteral("１年"),   QStringLiteral("１年半")};
    return names;
}

QString surfaceName(Surface s)
{
    return s == Surface::Own     ? QStringLiteral("当該馬場")
           : s == Surface::Other ? QStringLiteral("他馬場")
                                 : QStringLiteral("芝・ダート");
}

constexpr int kControls = 4; // period, surface, kind, distance

} // namespace

bool AsksForOutputForm(const QString &version)
{
    bool ok = false;
    const double v = version.left(4).toDouble(&ok);
    return ok && v >= 2.05;
}

HostModel::HostModel(demodata::Day day, HostOptions options, ExportFiles &files)
    : m_day(std::move(day)), m_options(std::move(options)), m_files(files)
{
    m_asksForm = AsksForOutputForm(m_options.version);
    m_rankPath = m_options.rankPath;
    m_resultPath = m_options.resultPath;
    for (int c = 0; c < m_day.courses.size(); ++c)
        for (int r = 0; r < m_day.courses[c].races.size(); ++r)
            m_races << RaceRef{c, r};
}

bool HostModel::setListMode(ListMode mode)
{
    if (m_screen != Screen::RaceList || m_prompt != Prompt::None)
        return false;
    m_listMode = mode;
    return true;
}

bool HostModel::setCursor(int index)
{
    if (m_screen != Screen::RaceList || m_prompt != Prompt::None || index < 0 || index >= raceCount())
        return false;
    m_cursor = index;
    return true;
}

QString HostModel::raceCaption(int index) const
{
    const demodata::Course &c = m_day.courses[m_races[index].course];
    const demodata::Race &r = c.races[m_races[index].race];
    return QStringLiteral("%1 %2R %3%4m %5頭 %6")
        .arg(c.name)
        .arg(r.number, 2)
        .arg(demodata::surfaceLetter(r.track))
        .arg(r.distance)
        .arg(r.runners.size(), 2)
        .arg(r.title);
}

bool HostModel::press(const KeyAction &key)
{
    // Caps Lock is the keyboard's state, no command to any screen.
    if (is(key, NamedKey::CapsLock))
        return true;
    if (raceCount() == 0)
        return false;
    const bool wasAtEnd = m_pagedAtEnd;
    m_pagedAtEnd = false;
    const bool accepted = m_prompt != Prompt::None ? pressPrompt(key) : pressScreen(key, wasAtEnd);
    if (!accepted)
        m_pagedAtEnd = wasAtEnd; // a refused key changes nothing
    return accepted;
}

bool HostModel::moveRace(int step)
{
    const int next = m_cursor + step;
    if (next < 0 || next >= raceCount())
        return false;
    m_cursor = next;
    return true;
}

bool HostModel::nextRaceOrStay(bool previousWasAtEnd)
{
    if (m_cursor + 1 < raceCount())
        return moveRace(1);
    // The host takes PgDn at its last race once and stays there; a second one
    // in a row means the run counted more races than the day has.
    if (previousWasAtEnd)
        return false;
    m_pagedAtEnd = true;
    return true;
}

void HostModel::openRankView(int kind)
{
    m_kind = kind;
    m_period = 0;
    m_surface = Surface::Own;
    m_near = true;
    m_focus = 0;
    m_screen = Screen::RankView;
}

bool HostModel::pressScreen(const KeyAction &k, bool wasAtEnd)
{
    auto goTo = [this](Screen screen) {
        m_screen = screen;
        return true;
    };
    // Esc only cancels a prompt: a screen is left with F12 alone.
    const bool back = is(k, NamedKey::F12);
    const int step = is(k, NamedKey::PageDown) ? 1 : is(k, NamedKey::PageUp) ? -1 : 0;
    switch (m_screen) {
    case Screen::RaceList:
        if (is(k, NamedKey::Enter)) {
            m_detail = false;
            return goTo(m_listMode == ListMode::Cards ? Screen::RaceCard : Screen::ResultView);
        }
        if (step != 0 || is(k, NamedKey::Up) || is(k, NamedKey::Down))
            return moveRace(step != 0 ? step : is(k, NamedKey::Up) ? -1 : 1);
        if (is(k, NamedKey::Home) || is(k, NamedKey::End)) {
            m_cursor = is(k, NamedKey::Home) ? 0 : raceCount() - 1;
            return true;
        }
        return false;
    case Screen::RaceCard:
        if (is(k, NamedKey::F6))
            return goTo(Screen::RankMenu);
        if (step == 1)
            return nextRaceOrStay(wasAtEnd);
        if (step != 0)
            return moveRace(step);
        return back && goTo(Screen::RaceList);
    case Screen::RankMenu:
        if (is(k, NamedKey::Insert)) {
            m_kind = 0;
            return goTo(Screen::KindSelect);
        }
        return back && goTo(Screen::RaceCard);
    case Screen::KindSelect:
        if (is(k, NamedKey::F6) || is(k, NamedKey::Down) || is(k, NamedKey::Up)) {
            m_kind = (m_kind + (is(k, NamedKey::Up) ? timerank::kKinds - 1 : 1)) % timerank::kKinds;
            return true;
        }
        if (is(k, NamedKey::F7) || is(k, NamedKey::Enter)) {
            openRankView(m_kind);
            return true;
        }
        return back && goTo(Screen::RankMenu);
    case Screen::RankView:
        if (is(k, NamedKey::F3)) {
            m_period = (m_period + 1) % demodata::kPeriods;
            return true;
        }
        if (is(k, NamedKey::F4)) {
            m_surface = m_surface == Surface::Own     ? Surface::Other
                        : m_surface == Surface::Other ? Surface::Both
                                                      : Surface::Own;
            return true;
        }
        if (k.kind == KeyAction::Kind::Named && k.key == NamedKey::Tab && !k.ctrl && !k.alt) {
            m_focus = (m_focus + (k.shift ? kControls - 1 : 1)) % kControls;
            return true;
        }
        if (is(k, NamedKey::Up) || is(k, NamedKey::Down)) {
            // Each control is a list: Up takes the entry above, at the top it stays.
            const int by = is(k, NamedKey::Up) ? -1 : 1;
            auto move = [by](int value, int count) { return std::clamp(value + by, 0, count - 1); };
            if (m_focus == 0)
                m_period = move(m_period, demodata::kPeriods);
            else if (m_focus == 1)
                m_surface = Surface(move(int(m_surface), 3));
            else if (m_focus == 2)
                m_kind = move(m_kind, timerank::kKinds);
            else
                m_near = move(m_near ? 1 : 0, 2) == 1; // 全距離 above 距離±200m
            return true;
        }
        if (is(k, NamedKey::F8)) {
            startExport(true);
            return true;
        }
        return back && goTo(Screen::RaceCard);
    case Screen::ResultView:
        if (isChar(k, U' ') && !k.shift) {
            m_detail = !m_detail;
            return true;
        }
        if (is(k, NamedKey::F8)) {
            // Only the detailed result carries what the export holds.
            if (!m_detail)
                return false;
            startExport(false);
            return true;
        }
        if (step == 1)
            return nextRaceOrStay(wasAtEnd);
        if (step != 0)
            return moveRace(step);
        return back && goTo(Screen::RaceList);
    }
    return false;
}

void HostModel::startExport(bool rank)
{
    m_rankExport = rank;
    m_pending = rank ? rankLines() : resultLines();
    m_message.clear();
    if (rank && m_asksForm) {
        m_prompt = Prompt::Format;
        return;
    }
    m_prompt = Prompt::Path;
    m_pathText = rank ? m_rankPath : m_resultPath;
    m_pathSelected = true;
}

bool HostModel::pressPrompt(const KeyAction &k)
{
    switch (m_prompt) {
    case Prompt::None: return false;
    case Prompt::Format:
        if (isChar(k, U'F')) { // case-sensitive: "f" is no answer
            m_prompt = Prompt::Path;
            m_pathText = m_rankPath;
            m_pathSelected = true;
            return true;
        }
        if (is(k, NamedKey::Escape)) {
            m_prompt = Prompt::None;
            return true;
        }
        return false;
    case Prompt::Path:
        if (k.kind == KeyAction::Kind::Character && !k.ctrl && !k.alt && k.character >= 0x20 && k.character <= 0xFFFF) {
            if (m_pathSelected)
                m_pathText.clear();
            m_pathSelected = false;
            m_pathText += QChar(char16_t(k.character));
            return true;
        }
        if (is(k, NamedKey::Backspace) || is(k, NamedKey::Delete)) {
            if (m_pathSelected || is(k, NamedKey::Delete))
                m_pathText.clear();
            else
                m_pathText.chop(1);
            m_pathSelected = false;
            return true;
        }
        if (is(k, NamedKey::Left) || is(k, NamedKey::Right) || is(k, NamedKey::Home) || is(k, NamedKey::End)) {
            m_pathSelected = false;
            return true;
        }
        if (is(k, NamedKey::Enter))
            return finishPath();
        if (is(k, NamedKey::Escape)) {
            m_prompt = Prompt::None;
            return true;
        }
        return false;
    case Prompt::Append:
    case Prompt::Overwrite:
        if (is(k, NamedKey::Enter)) {
            writeExport(m_prompt == Prompt::Append);
            return true;
        }
        if (is(k, NamedKey::Escape)) {
            m_prompt = Prompt::None;
            return true;
        }
        return false;
    case Prompt::Done:
    case Prompt::Error:
        if (is(k, NamedKey::Enter) || is(k, NamedKey::Escape)) {
            m_prompt = Prompt::None;
            return true;
        }
        return false;
    }
    return false;
}

bool HostModel::finishPath()
{
    if (m_pathText.isEmpty()) {
        m_message = QStringLiteral("出力ファイル名を入力して下さい．");
        return true;
    }
    (m_rankExport ? m_rankPath : m_resultPath) = m_pathText;
    if (m_files.exists(m_pathText)) {
        // Rankings gather in one file; a result replaces the old one.
        m_prompt = m_rankExport ? Prompt::Append : Prompt::Overwrite;
        return true;
    }
    writeExport(false);
    return true;
}

void HostModel::writeExport(bool append)
{
    QString error;
    if (!m_files.write(m_pathText, m_pending, append, &error)) {
        m_message = QStringLiteral("書き込めません: ") + m_pathText + QStringLiteral(" (") + error + QLatin1Char(')');
        m_prompt = Prompt::Error;
        return;
    }
    ++m_exports;
    m_message = QStringLiteral("出力しました: ") + m_pathText;
    m_prompt = m_rankExport ? Prompt::None : Prompt::Done;
}

QStringList HostModel::rankLines() const
{
    return rankSection(m_day, course(), race(), m_kind, m_surface, m_near, m_period);
}

QStringList HostModel::resultLines() const { return commentLines(m_day, course(), race()); }

Work HostModel::work(const KeyAction &k) const
{
    if (m_prompt == Prompt::None) {
        if (m_screen == Screen::RaceList && is(k, NamedKey::Enter))
            return {2, QStringLiteral("レースを読み込んでいます")};
        if (m_screen == Screen::RaceCard && is(k, NamedKey::F6))
            return {3, QStringLiteral("タイム分析を集計しています")};
        if ((m_screen == Screen::RaceCard || m_screen == Screen::ResultView) && is(k, NamedKey::PageDown))
            return {2, QStringLiteral("次のレースを読み込んでいます")};
        if (m_screen == Screen::KindSelect && is(k, NamedKey::F7))
            return {2, QStringLiteral("ランキングを計算しています")};
        if (m_screen == Screen::RankView && (is(k, NamedKey::F3) || is(k, NamedKey::F4)))
            return {1, QStringLiteral("ランキングを切り替えています")};
        if (is(k, NamedKey::F8))
            return {1, QStringLiteral("出力の準備をしています")};
        if (is(k, NamedKey::F12))
            return {1, QStringLiteral("画面を閉じています")};
    } else if (is(k, NamedKey::Enter) && m_prompt != Prompt::Done && m_prompt != Prompt::Error) {
        return {1, QStringLiteral("ファイルに書き出しています")};
    } else if (m_prompt == Prompt::Path && k.kind == KeyAction::Kind::Character) {
        return {1, QStringLiteral("ファイル名を入力しています")};
    }
    return {1, QStringLiteral("キーを処理しています")};
}

QString HostModel::screenName() const
{
    QString name;
    switch (m_screen) {
    case Screen::RaceList:
        name =
            m_listMode == ListMode::Cards ? QStringLiteral("レース一覧 (出馬表)") : QStringLiteral("レース一覧 (成績)");
        break;
    case Screen::RaceCard: name = QStringLiteral("出馬表"); break;
    case Screen::RankMenu: name = QStringLiteral("タイム分析"); break;
    case Screen::KindSelect: name = QStringLiteral("ランキング種類"); break;
    case Screen::RankView: name = QStringLiteral("ランキング"); break;
    case Screen::ResultView: name = m_detail ? QStringLiteral("成績 (着差・４角)") : QStringLiteral("成績"); break;
    }
    switch (m_prompt) {
    case Prompt::None: break;
    case Prompt::Format: name += QStringLiteral(" / 出力形式"); break;
    case Prompt::Path: name += QStringLiteral(" / 出力ファイル名"); break;
    case Prompt::Append: name += QStringLiteral(" / 追加確認"); break;
    case Prompt::Overwrite: name += QStringLiteral(" / 上書き確認"); break;
    case Prompt::Done: name += QStringLiteral(" / 出力完了"); break;
    case Prompt::Error: name += QStringLiteral(" / エラー"); break;
    }
    return name;
}

QStringList HostModel::screenLines() const
{
    QStringList lines;
    switch (m_prompt) {
    case Prompt::None: break;
    case Prompt::Format: lines << QStringLiteral("出力形式を選んで下さい  F: ファイル  Esc: 中止"); break;
    case Prompt::Path:
        lines << QStringLiteral("出力ファイル名: ") + m_pathText +
                     (m_pathSelected ? QStringLiteral("  (選択中)") : QStringLiteral("_"))
              << QStringLiteral("Enter: 出力  Esc: 中止");
        break;
    case Prompt::Append: lines << QStringLiteral("ファイルがあります．追加しますか？  Enter: はい  Esc: いいえ"); break;
    case Prompt::Overwrite:
        lines << QStringLiteral("ファイルがあります．上書きしますか？  Enter: はい  Esc: いいえ");
        break;
    case Prompt::Done:
    case Prompt::Error: lines << m_message << QStringLiteral("Enter: 閉じる"); break;
    }
    if (!lines.isEmpty())
        lines << QString();
    if (raceCount() == 0)
        return lines << QStringLiteral("レースがありません");
    const demodata::Race &r = race();
    switch (m_screen) {
    case Screen::RaceList:
        lines << QStringLiteral("Enter: 開く  ↑↓ PgUp PgDn: カーソル") << raceCaption(m_cursor);
        break;
    case Screen::RaceCard:
        lines << raceCaption(m_cursor) << QStringLiteral("F6: タイム分析  PgDn: 次のレース  F12: 戻る") << QString();
        for (const demodata::Runner &h : r.runners)
            lines << QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(h.frame)
                         .arg(h.number, 2)
                         .arg(h.name.leftJustified(9, QChar(0x3000)))
                         .arg(h.jockey)
                         .arg(h.oddsTenths > 0 ? QStringLiteral("%1.%2").arg(h.oddsTenths / 10).arg(h.oddsTenths % 10)
                                               : QStringLiteral("取消"));
        break;
    case Screen::RankMenu: lines << raceCaption(m_cursor) << QStringLiteral("Insert: ランキング種類  F12: 戻る"); break;
    case Screen::KindSelect:
        lines << QStringLiteral("F6 / ↓: 次の種類  F7: 表示  F12: 戻る") << QString();
        for (int k = 0; k < timerank::kKinds; ++k)
            lines << (k == m_kind ? QStringLiteral("▶ ") : QStringLiteral("  ")) + timerank::KindCaption(k);
        break;
    case Screen::RankView: {
        const QStringList controls{
            QStringLiteral("期間: ") + periodNames()[m_period], QStringLiteral("馬場: ") + surfaceName(m_surface),
            QStringLiteral("種類: ") + timerank::KindCaption(m_kind),
            QStringLiteral("距離: ") + (m_near ? QStringLiteral("±200m") : QStringLiteral("全距離"))};
        QString row;
        for (int i = 0; i < kControls; ++i)
            row += (i == m_focus ? QStringLiteral("[") + controls[i] + QStringLiteral("]")
                                 : QStringLiteral(" ") + controls[i] + QStringLiteral(" ")) +
                   QStringLiteral("  ");
        lines << row << QStringLiteral("F3: 期間  F4: 馬場  Tab ↑↓: 設定  F8: 出力  F12: 戻る") << QString();
        lines << rankLines();
        break;
    }
    case Screen::ResultView:
        if (m_detail) {
            lines << QStringLiteral("Space: 概要  F8: 出力  PgDn: 次のレース  F12: 戻る") << QString() << resultLines();
        } else {
            lines << raceCaption(m_cursor) << QStringLiteral("Space: 着差・４角  PgDn: 次のレース  F12: 戻る")
                  << QString();
            for (const demodata::Runner &h : r.runners)
                lines << QStringLiteral("%1 %2 %3")
                             .arg(h.number, 2)
                             .arg(h.name)
                             .arg(h.result > 0 ? QStringLiteral("%1着").arg(h.result)
                                               : racing::AbnormalName(QString::number(h.abnormal)));
        }
        break;
    }
    return lines;
}

} // namespace korvin::hostsim
