#pragma once
// Reads a drawn bar chart back: the value of every bar from its height on the
// chart's scale, checking on the way that the bar is painted in its series'
// colour and carries its figure.
#include "platform/ui/barchart.h"

#include <QImage>
#include <QPixmap>
#include <gtest/gtest.h>
#include <vector>

namespace korvin::test {

inline std::vector<QList<qreal>> drawnBarValues(platform::ui::BarChartView &view)
{
    std::vector<QList<qreal>> values;
    const QImage image = view.grab().toImage();
    const QRectF plot = view.plotArea();
    // Figures over the bars while there are at most 16 bars.
    const bool figures = view.data().series.size() * size_t(view.data().categories.size()) <= 16;
    for (int s = 0; s < int(view.data().series.size()); ++s) {
        values.emplace_back();
        for (int c = 0; c < view.data().categories.size(); ++c) {
            const QRectF bar = view.barRect(s, c);
            EXPECT_TRUE(bar.left() >= plot.left() && bar.right() <= plot.right() && bar.top() >= plot.top())
                << s << " " << c;
            EXPECT_DOUBLE_EQ(bar.bottom(), plot.bottom()) << s << " " << c;
            const qreal value = bar.height() / plot.height() * view.scaleTop();
            values.back() << value;
            if (bar.height() >= 3) {
                EXPECT_EQ(image.pixelColor(bar.center().toPoint()), platform::ui::BarChartView::seriesColor(s))
                    << s << " " << c;
            }
            EXPECT_EQ(view.valueText(s, c),
                      figures ? QString::number(view.data().series[size_t(s)].values[c], 'f', 1) : QString());
        }
    }
    return values;
}

} // namespace korvin::test
