#include "platform/ui/barchart.h"

#include "platform/dialogs.h"
#include "platform/safefile.h"

#include <QBuffer>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace korvin::platform::ui {

namespace {
constexpr int kMargin = 10;
constexpr int kTick = 4;
constexpr int kLegendBox = 12;
// Figures on the bars only while they can be read.
constexpr int kMostFigures = 16;

// A step of 1, 2 or 5 times a power of ten that cuts range into about five parts.
double niceStep(double range)
{
    const double raw = range / 5;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (raw <= m * power)
            return m * power;
    return 10 * power;
}
} // namespace

BarChartView::BarChartView(QWidget *parent) : QWidget(parent)
{
    setMinimumSize(560, 270);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
}

QColor BarChartView::seriesColor(int series)
{
    static const QColor colors[] = {QColor(0x20, 0x9f, 0xdf), QColor(0x99, 0xca, 0x53), QColor(0xf6, 0xa6, 0x25),
                                    QColor(0x6d, 0x5f, 0xd5), QColor(0xbf, 0x59, 0x3e)};
    return colors[series % int(std::size(colors))];
}

void BarChartView::setData(const BarChartData &data)
{
    m_data = data;
    double top = 0;
    int bars = 0;
    for (const BarSeries &s : data.series)
        for (double v : s.values) {
            top = std::max(top, v);
            ++bars;
        }
    m_figures = bars <= kMostFigures;
    // Rates up to 100 on a fixed scale; a return above it widens the scale
    // with room for the figure on the bar, up to a whole step.
    if (top <= 100) {
        m_top = 100;
        m_step = 20;
    } else {
        m_step = niceStep(top * 1.1);
        m_top = std::ceil(top * 1.1 / m_step) * m_step;
    }
    // Many categories take a smaller font and more room, so that each name stays whole.
    const QFontMetrics metrics(categoryFont());
    int widest = 0;
    for (const QString &name : data.categories)
        widest = std::max(widest, metrics.horizontalAdvance(name));
    setMinimumWidth(std::max(560, 150 + (std::max(widest, 25) * 3 / 2 + 20) * int(data.categories.size())));
    update();
}

QFont BarChartView::categoryFont() const
{
    QFont f = font();
    if (m_data.categories.size() > 6)
        f.setPointSizeF(f.pointSizeF() * 0.8);
    return f;
}

int BarChartView::valueLabelWidth() const
{
    const QFontMetrics metrics(font());
    return metrics.horizontalAdvance(QString::number(m_top, 'f', 0));
}

QRectF BarChartView::plotArea() const
{
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    double top = kMargin + line / 2.0;
    if (!m_data.title.isEmpty())
        top += line + kMargin;
    if (m_figures)
        top += line; // the figure over a bar at the top of the scale
    const double left = kMargin + (m_data.axisTitle.isEmpty() ? 0 : line + kMargin) + valueLabelWidth() + kTick + 4;
    const double bottom =
        height() - kMargin - std::max(line, kLegendBox) - kMargin - QFontMetrics(categoryFont()).height() - kTick - 2;
    const double right = width() - kMargin - 1;
    return QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));
}

QRectF BarChartView::barRect(int series, int category) const
{
    if (series < 0 || size_t(series) >= m_data.series.size() || category < 0 || category >= m_data.categories.size())
        return {};
    const QList<double> &values = m_data.series[size_t(series)].values;
    if (category >= values.size())
        return {};
    const QRectF plot = plotArea();
    const double group = plot.width() / m_data.categories.size();
    const double bar = group * 0.8 / double(m_data.series.size());
    const double value = std::clamp(values[category], 0.0, m_top);
    const double h = value / m_top * plot.height();
    return QRectF(plot.left() + group * category + group * 0.1 + bar * series, plot.bottom() - h, bar, h);
}

QString BarChartView::valueText(int series, int category) const
{
    if (!m_figures || series < 0 || size_t(series) >= m_data.series.size())
        return {};
    const QList<double> &values = m_data.series[size_t(series)].values;
    if (category < 0 || category >= values.size() || category >= m_data.categories.size())
        return {};
    return QString::number(values[category], 'f', 1);
}

void BarChartView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink = palette().color(QPalette::WindowText);
    const QFontMetrics metrics(font());
    const int line = metrics.height();
    const QRectF plot = plotArea();

    if (!m_data.title.isEmpty()) {
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(ink);
        p.drawText(QRectF(0, kMargin, width(), line), Qt::AlignCenter, m_data.title);
        p.setFont(font());
    }

    // The value axis: grid lines and figures at every step, the title turned along it.
    for (double v = 0; v <= m_top + m_step / 2; v += m_step) {
        const double y = plot.bottom() - v / m_top * plot.height();
        p.setPen(QColor(0xdd, 0xdd, 0xdd));
        if (v > 0)
            p.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        p.setPen(ink);
        p.drawLine(QPointF(plot.left() - kTick, y), QPointF(plot.left(), y));
        p.drawText(QRectF(plot.left() - kTick - 4 - valueLabelWidth() - 2, y - line / 2.0, valueLabelWidth() + 2, line),
                   Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'f', 0));
    }
    if (!m_data.axisTitle.isEmpty()) {
        p.save();
        p.translate(kMargin, plot.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line), Qt::AlignCenter, m_data.axisTitle);
        p.restore();
    }
    p.setPen(ink);
    p.drawLine(plot.bottomLeft(), plot.topLeft());
    p.drawLine(plot.bottomLeft(), plot.bottomRight());

    // The bars and the figures over them.
    for (int s = 0; s < int(m_data.series.size()); ++s)
        for (int c = 0; c < m_data.categories.size(); ++c) {
            const QRectF bar = barRect(s, c);
            if (bar.width() <= 0)
                continue;
            p.fillRect(bar, seriesColor(s));
            const QString figure = valueText(s, c);
            if (!figure.isEmpty()) {
                const double w = std::max(bar.width(), double(metrics.horizontalAdvance(figure) + 4));
                p.drawText(QRectF(bar.center().x() - w / 2, bar.top() - line, w, line),
                           Qt::AlignHCenter | Qt::AlignBottom, figure);
            }
        }

    // The category names under their groups.
    p.setFont(categoryFont());
    const double group = plot.width() / std::max<qsizetype>(1, m_data.categories.size());
    const int categoryLine = QFontMetrics(categoryFont()).height();
    for (int c = 0; c < m_data.categories.size(); ++c)
        p.drawText(QRectF(plot.left() + group * c, plot.bottom() + kTick + 2, group, categoryLine), Qt::AlignCenter,
                   m_data.categories[c]);
    p.setFont(font());

    // The legend, centred at the bottom.
    int legendWidth = 0;
    for (const BarSeries &s : m_data.series)
        legendWidth += kLegendBox + 4 + metrics.horizontalAdvance(s.name) + 16;
    double x = (width() - legendWidth + 16) / 2.0;
    const double y = height() - kMargin - std::max(line, kLegendBox);
    for (int s = 0; s < int(m_data.series.size()); ++s) {
        const QString &name = m_data.series[size_t(s)].name;
        p.fillRect(QRectF(x, y + (line - kLegendBox) / 2.0, kLegendBox, kLegendBox), seriesColor(s));
        x += kLegendBox + 4;
        p.drawText(QRectF(x, y, metrics.horizontalAdvance(name) + 2, line), Qt::AlignLeft | Qt::AlignVCenter, name);
        x += metrics.horizontalAdvance(name) + 16;
    }
}

std::function<QString(QWidget *, const QString &)> BarChartPanel::choosePngPath = [](QWidget *parent,
                                                                                     const QString &suggested) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("グラフの保存"), suggested,
                                        QStringLiteral("PNG (*.png)"));
};

BarChartPanel::BarChartPanel(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    m_view = new BarChartView(this);
    m_view->setObjectName(name + QStringLiteral("_chart"));
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

void BarChartPanel::setData(const BarChartData &data) { m_view->setData(data); }

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
