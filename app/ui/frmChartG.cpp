#include "ui/frmChartG.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/chart_view.h"
#include "shell/texts.h"

namespace qc {

namespace {

constexpr int kLineBarTextKey = 12; // StatTexts "Linie / Balken"

template <typename T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

} // namespace

frmChartG::frmChartG(const ChartModel& model, int language, QWidget* parent)
    : QDialog(parent)
    , model_(model)
    , language_(language)
{
    setObjectName(QStringLiteral("frmChartG"));
    setModal(true);
    MSChart1 = Named(new QChartView(new QChart), "MSChart1");
    MSChart1->setRenderHint(QPainter::Antialiasing);
    lblImpulszeit = Named(new QLabel, "lblImpulszeit");
    lblMinMax = Named(new QLabel, "lblMinMax");
    lblStrich = Named(new QLabel, "lblStrich");
    lblMean = Named(new QLabel, "lblMean");
    cmdChartType = Named(new QPushButton, "cmdChartType");
    QPalette meanColour = lblStrich->palette();
    meanColour.setColor(QPalette::WindowText, QColor(0, 0, 153));
    lblStrich->setPalette(meanColour);

    auto* labels = new QHBoxLayout;
    labels->addWidget(lblMinMax);
    labels->addSpacing(24);
    labels->addWidget(lblStrich);
    labels->addWidget(lblMean);
    labels->addWidget(lblImpulszeit);
    labels->addStretch(1);
    labels->addWidget(cmdChartType);
    auto* page = new QVBoxLayout(this);
    page->addWidget(MSChart1, 1);
    page->addLayout(labels);
    resize(900, 600);
    connect(cmdChartType, &QPushButton::clicked, this, &frmChartG::cmdChartType_Click);
}

void frmChartG::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Form_Activate();
}

void frmChartG::Form_Activate()
{
    // The system's button face colour.
    QPalette face = palette();
    face.setColor(QPalette::Window, QApplication::palette().color(QPalette::Button));
    setPalette(face);
    setAutoFillBackground(true);
    type_ = ChartType::Line;
    cmdChartType->setText(StatText(language_, kLineBarTextKey));
    setWindowTitle(MessageText(language_, kCaptionTextKey));
    Draw();
}

void frmChartG::cmdChartType_Click()
{
    type_ = type_ == ChartType::Bar ? ChartType::Line : ChartType::Bar;
    Draw();
}

void frmChartG::Draw()
{
    if (model_.trigger) {
        lblImpulszeit->setText(model_.pulseTimeLabel);
        lblImpulszeit->show();
        lblStrich->hide();
        lblMean->hide();
    } else {
        lblImpulszeit->hide();
        lblStrich->setText(model_.strokeLabel);
        lblStrich->show();
        lblMean->setText(model_.meanLabel);
        lblMean->show();
    }
    lblMinMax->setText(model_.minMaxLabel);
    const bool bars = type_ == ChartType::Bar;
    DrawChart(*MSChart1->chart(), bars ? BarChartModel(model_) : model_, type_, ChartSurface::Window);
}

} // namespace qc
