#pragma once
// A bar chart with a button that saves it as a PNG image. The chart shows a
// BarChartData, which the report builds beside its printed lines. It is drawn
// with QPainter alone, so that it looks the same on every platform.
#include "platform/chartdata.h"

#include <QRectF>
#include <QWidget>
#include <functional>

class QPushButton;

namespace korvin::platform::ui {

// The chart itself: title, value axis with its scale, bars grouped by
// category, figures over the bars, category names and the legend.
class BarChartView : public QWidget {
    Q_OBJECT
public:
    explicit BarChartView(QWidget *parent = nullptr);

    void setData(const BarChartData &data);
    const BarChartData &data() const { return m_data; }

    // Where the bars stand at the widget's present size: the plot area, the
    // value at its top edge, and the bar of one series in one category
    // (empty for a value that is not there).
    QRectF plotArea() const;
    double scaleTop() const { return m_top; }
    QRectF barRect(int series, int category) const;
    // The figure written over a bar; empty while figures are left out.
    QString valueText(int series, int category) const;
    static QColor seriesColor(int series);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QFont categoryFont() const;
    int valueLabelWidth() const;

    BarChartData m_data;
    double m_top = 100;
    double m_step = 20;
    bool m_figures = true;
};

class BarChartPanel : public QWidget {
    Q_OBJECT
public:
    // name: the panel's objectName; the chart view is name + "_chart", the
    // button name + "_save".
    BarChartPanel(const QString &name, QWidget *parent = nullptr);

    void setData(const BarChartData &data);
    const BarChartData &data() const { return m_view->data(); }
    // File name offered by the chooser.
    void setSuggestedPath(const QString &path) { m_suggested = path; }

    BarChartView *view() const { return m_view; }
    QPushButton *saveButton() const { return m_save; }

    // Writes the chart as it is drawn now (the view's size) to path as PNG.
    // False, with the system's reason, when it cannot be written.
    bool savePng(const QString &path, QString *error = nullptr) const;

    // The file chooser of the save button: a path, or empty when the user
    // cancels. Tests replace it.
    static std::function<QString(QWidget *parent, const QString &suggested)> choosePngPath;

private:
    void saveClicked();

    QString m_suggested;
    BarChartView *m_view = nullptr;
    QPushButton *m_save = nullptr;
};

} // namespace korvin::platform::ui
