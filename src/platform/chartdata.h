#pragma once
// What a bar chart shows, kept apart from the chart widget so that reports
// build it beside their printed lines and tests read it without a display.
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

namespace korvin::platform {

struct BarSeries {
    QString name;
    QList<double> values; // one per category
};

struct BarChartData {
    QString title;
    QString axisTitle; // of the value axis
    QStringList categories;
    std::vector<BarSeries> series;
};

} // namespace korvin::platform
