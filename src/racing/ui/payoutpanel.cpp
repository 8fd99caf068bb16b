#include "racing/ui/payoutpanel.h"

#include "platform/ui/window.h"

#include <QGridLayout>
#include <QLabel>

namespace korvin::racing::ui {

PayoutPanel::PayoutPanel(Layout layout, QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("ShapeSei1"));
    setFrameShape(QFrame::Box);
    setVisible(false);
    auto *grid = new QGridLayout(this);
    grid->setVerticalSpacing(1);
    const QFont fixed = platform::ui::fixedPitchFont(9);
    int row = 0;
    auto group = [&](int title, auto &labels, const QString &name) {
        m_titles[title] = new QLabel(PayoutRowTitles()[title], this);
        m_titles[title]->setObjectName(QStringLiteral("LabelSei1_%1").arg(title));
        m_titles[title]->setVisible(false);
        grid->addWidget(m_titles[title], row, 0, Qt::AlignTop);
        for (size_t i = 0; i < labels.size(); ++i) {
            labels[i] = new QLabel(this);
            labels[i]->setObjectName(QStringLiteral("%1_%2").arg(name).arg(i));
            labels[i]->setFont(fixed);
            labels[i]->setVisible(false);
            if (layout == Layout::Stacked)
                grid->addWidget(labels[i], row++, 1);
            else
                grid->addWidget(labels[i], row, int(i) + 1);
        }
        if (layout == Layout::Rows)
            ++row;
    };
    group(0, m_tan, QStringLiteral("LabelTan"));
    group(1, m_fuku, QStringLiteral("LabelFuku"));
    group(2, m_wakuRen, QStringLiteral("LabelWakuRen"));
    group(3, m_uma, QStringLiteral("LabelUma"));
    group(4, m_wide, QStringLiteral("LabelWide"));
}

void PayoutPanel::showArea(const PayoutArea &area)
{
    setVisible(area.shown);
    for (int i = 0; i < 5; ++i)
        m_titles[i]->setVisible(area.shown && i < 4); // "ﾜｲﾄﾞ：" never shows
    auto fill = [](auto &labels, const auto &entries) {
        for (size_t i = 0; i < labels.size(); ++i) {
            labels[i]->setText(entries[i].text);
            labels[i]->setVisible(entries[i].visible);
        }
    };
    fill(m_tan, area.Tan);
    fill(m_fuku, area.Fuku);
    fill(m_wakuRen, area.WakuRen);
    fill(m_uma, area.Uma);
    fill(m_wide, area.Wide);
    m_placeRows = area.placeRows;
    adjustSize();
}

} // namespace korvin::racing::ui
