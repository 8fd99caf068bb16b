#include "platform/ui/barchart.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"

#include <QBuffer>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtCharts/QBarCategoryAxis>
#include <QtCharts/QBarSeries>
#include <QtCharts/QBarSet>
#include <QtCharts/QChart>
#include <QtCharts/QChartView>
#include <QtCharts/QValueAxis>

#include <algorithm>

namespace korvin::platform::ui {

std::function<QString(QWidget *, const QString &)> BarChartPanel::choosePngPath = [](QWidget *parent,
                                                                                     const QString &suggested) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("グラフの保存"), suggested,
                                        QStringLiteral("PNG (*.png)"));
};

BarChartPanel::BarChartPanel(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    m_view = new QChartView(new QChart, this);
    m_view->setObjectName(name + QStringLiteral("_chart"));
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(560, 270);
    m_save = new QPushButton(QStringLiteral("PNG保存"), this);
    m_save->setObjectName(name + QStringLiteral("_save"));
    connect(m_save, &QPushButton::clicked, this, &BarChartPanel::saveClicked);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addLayout(buttons);
}

QChart *BarChartPanel::chart() const { return m_view->chart(); }

void BarChartPanel::setData(const BarChartData &data)
{
    m_data = data;
    QChart *c = chart();
    c->removeAllSeries();
    for (QAbstractAxis *axis : c->axes())
        c->removeAxis(axis);
    c->setTitle(data.title);
    c->legend()->setAlignment(Qt::AlignBottom);

    auto *series = new QBarSeries;
    double top = 0;
    int bars = 0;
    for (const BarSeries &s : data.series) {
        auto *set = new QBarSet(s.name);
        set->setLabelColor(palette().color(QPalette::WindowText));
        for (double v : s.values) {
            *set << v;
            top = std::max(top, v);
            ++bars;
        }
        series->append(set);
    }
    // Figures on the bars only while they can be read.
    series->setLabelsVisible(bars <= 16);
    series->setLabelsFormat(QStringLiteral("@value"));
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    c->addSeries(series);

    auto *categories = new QBarCategoryAxis;
    categories->append(data.categories);
    // Many categories take a smaller font and more room, so that each name stays whole.
    if (data.categories.size() > 6) {
        QFont small = categories->labelsFont();
        small.setPointSizeF(small.pointSizeF() * 0.8);
        categories->setLabelsFont(small);
    }
    const QFontMetrics metrics(categories->labelsFont());
    int widest = 0;
    for (const QString &name : data.categories)
        widest = std::max(widest, metrics.horizontalAdvance(name));
    m_view->setMinimumWidth(std::max(560, 150 + (std::max(widest, 25) * 3 / 2 + 20) * int(data.categories.size())));
    c->addAxis(categories, Qt::AlignBottom);
    series->attachAxis(categories);
    auto *values = new QValueAxis;
    // Rates up to 100 on a fixed scale; a return above it widens the scale
    // with room for the figure on the bar.
    values->setRange(0, top <= 100 ? 100 : top * 1.1);
    if (top > 100)
        values->applyNiceNumbers();
    values->setLabelFormat(QStringLiteral("%.0f"));
    values->setTitleText(data.axisTitle);
    c->addAxis(values, Qt::AlignLeft);
    series->attachAxis(values);
}

bool BarChartPanel::savePng(const QString &path, QString *error) const
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!m_view->grab().save(&buffer, "PNG")) {
        if (error)
            *error = QStringLiteral("PNG");
        return false;
    }
    return saveWhole(path, bytes, error);
}

void BarChartPanel::saveClicked()
{
    QString path = choosePngPath ? choosePngPath(window(), m_suggested) : QString();
    if (path.isEmpty())
        return;
    if (!path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive))
        path += QStringLiteral(".png");
    QString why;
    if (!savePng(path, &why))
        dialogs().critical(QStringLiteral("グラフを保存できません． ( %1 )\n%2").arg(path, why));
}

} // namespace korvin::platform::ui
