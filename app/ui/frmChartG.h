#pragma once

#include <QDialog>

#include "output/chart_data.h"

class QChartView;
class QLabel;
class QPushButton;

namespace qc {

// The chart window: the chart of the main window, larger, with the labels
// for minimum, maximum and mean (or the pulse time) and a button that
// switches between the line chart and a bar chart of the values. Modal;
// the main window opens it with the large-display button.
class frmChartG : public QDialog {
    Q_OBJECT
public:
    frmChartG(const ChartModel& model, int language, QWidget* parent = nullptr);

    ChartType Type() const { return type_; }
    const ChartModel& Model() const { return model_; }

    void cmdChartType_Click();

    QChartView* MSChart1 = nullptr;
    QLabel* lblImpulszeit = nullptr;
    QLabel* lblMinMax = nullptr;
    QLabel* lblStrich = nullptr;
    QLabel* lblMean = nullptr;
    QPushButton* cmdChartType = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Form_Activate();
    void Draw();

    ChartModel model_;
    int language_ = 0;
    ChartType type_ = ChartType::Line;
};

} // namespace qc
