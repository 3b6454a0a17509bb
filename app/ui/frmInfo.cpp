#include "ui/frmInfo.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gauge/device_info.h"
#include "shell/app_identity.h"

namespace qc {
namespace {

QLabel* Named(QLabel* label, const char* name)
{
    label->setObjectName(QLatin1String(name));
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

frmInfo::frmInfo(const GaugeContext& gauge, int language, QWidget* parent)
    : QDialog(parent)
    , gauge_(gauge)
    , language_(language)
{
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(MainCaption());
    auto* form = new QFormLayout;
    const auto row = [form](QLabel*& label, const char* labelName, QLabel*& field, const char* fieldName) {
        label = Named(new QLabel, labelName);
        field = Named(new QLabel, fieldName);
        form->addRow(label, field);
    };
    row(lblGeraet, "lblGeraet", txtGeraet, "txtGeraet");
    row(lblPC, "lblPC", txtPC, "txtPC");
    row(lblSoftware, "lblSoftware", txtSoftware, "txtSoftware");
    row(lblAdresse, "lblAdresse", txtAdresse, "txtAdresse");
    row(lblSondenversion, "lblSondenversion", txtSondenversion, "txtSondenversion");
    row(lblSondentyp, "lblSondentyp", txtSondentyp, "txtSondentyp");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    buttons->setObjectName(QStringLiteral("cmdOk"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    Form_Activate();
}

void frmInfo::showEvent(QShowEvent* event)
{
    Form_Activate();
    QDialog::showEvent(event);
}

void frmInfo::Form_Activate()
{
    const DeviceInfoFields f = DeviceInformation(gauge_, MainCaption(), language_);
    lblGeraet->setText(f.DeviceLabel);
    txtGeraet->setText(f.Device);
    lblPC->setText(QStringLiteral("PC Software"));
    txtPC->setText(f.PcSoftware);
    lblSoftware->setText(f.DeviceSoftwareLabel);
    txtSoftware->setText(f.DeviceSoftware);
    lblAdresse->setText(language_ == 0 ? QStringLiteral("Adresse") : QStringLiteral("Address"));
    txtAdresse->setText(f.Address);
    lblSondenversion->setText(f.ProbeVersionLabel);
    txtSondenversion->setText(f.ProbeVersion);
    lblSondentyp->setText(f.ProbeTypeLabel);
    txtSondentyp->setText(f.ProbeType);
}

} // namespace qc
