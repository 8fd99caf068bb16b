#pragma once
// A bar chart with a button that saves it as a PNG image. The chart shows a
// BarChartData, which the report builds beside its printed lines.
#include "platform/chartdata.h"

#include <QWidget>
#include <functional>

class QChart;
class QChartView;
class QPushButton;

namespace korvin::platform::ui {

class BarChartPanel : public QWidget {
    Q_OBJECT
public:
    // name: the panel's objectName; the chart view is name + "_chart", the
    // button name + "_save".
    BarChartPanel(const QString &name, QWidget *parent = nullptr);

    void setData(const BarChartData &data);
    const BarChartData &data() const { return m_data; }
    // File name offered by the chooser.
    void setSuggestedPath(const QString &path) { m_suggested = path; }

    QChartView *view() const { return m_view; }
    QChart *chart() const;
    QPushButton *saveButton() const { return m_save; }

    // Writes the chart as it is drawn now (the view's size) to path as PNG.
    // False, with the system's reason, when it cannot be written.
    bool savePng(const QString &path, QString *error = nullptr) const;

    // The file chooser of the save button: a path, or empty when the user
    // cancels. Tests replace it.
    static std::function<QString(QWidget *parent, const QString &suggested)> choosePngPath;

private:
    void saveClicked();

    BarChartData m_data;
    QString m_suggested;
    QChartView *m_view = nullptr;
    QPushButton *m_save = nullptr;
};

} // namespace korvin::platform::ui
