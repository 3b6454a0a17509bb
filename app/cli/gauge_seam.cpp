#include "cli/gauge_seam.h"

#include "cli/cli_texts.h"
#include "data/units.h"
#include "gauge/gauge_model.h"

namespace qc::cli {

namespace {

const QString kDualProbe = QStringLiteral("DNF");

int NotAvailable(Context& cli)
{
    cli.console.Message(CliText(cli.console.Language(), Text::NotAvailable).arg(SubcommandName(cli.options.command)));
    return kExitUsage;
}

} // namespace

void ApplyIdentification(const std::vector<LinkHandover>& handovers, const QString& deviceName, GaugeContext& gauge)
{
    GaugeIdentity& id = gauge.identity;
    id.DeviceName = deviceName;
    QString unitName;
    for (const LinkHandover& h : handovers) {
        const bool probe = h.kind == LinkHandover::Kind::ProbeField;
        if (!probe && h.kind != LinkHandover::Kind::GaugeField)
            continue;
        switch (h.Key.unicode()) {
        case u'S':
            (probe ? id.ProbeNumber : id.GaugeNumber) = h.Text;
            break;
        case u'R':
            (probe ? id.ProbeVersion : id.GaugeSoftware) = h.Text;
            break;
        case u'T':
            (probe ? id.ProbeType : id.GaugeProbeType) = h.Text;
            break;
        case u'M':
            id.GaugeAddress = h.Text;
            break;
        case u'V':
            id.GaugeVersionFlag = h.Text;
            break;
        case u'B':
            id.GaugeSecondVersion = h.Text;
            break;
        case u'H':
            id.GaugeHardware = h.Text;
            break;
        case u'U':
            unitName = h.Text;
            break;
        default:
            break;
        }
    }
    if (const auto model = DetectModel(deviceName)) {
        id.ModelCode = model->ModelCode;
        id.ModelGroup = model->ModelGroup;
        id.BrandMark = model->BrandMark;
        if (const auto profile = ProfileOfModel(model->ModelCode))
            gauge.profile = *profile;
    }
    id.GaugeUnit = NormaliseUnit(MapUnitName(unitName, id));
}

QStringList LiveRecords(const QString& value)
{
    if (!value.contains(kDualProbe))
        return {value};
    const qsizetype lineEnd = value.indexOf(u'\n');
    if (lineEnd < 0)
        return {value};
    return {value.left(lineEnd + 1), value.mid(value.size() / 2)};
}

int RunInfo(Context& cli) { return NotAvailable(cli); }
int RunMemories(Context& cli) { return NotAvailable(cli); }
int RunRead(Context& cli) { return NotAvailable(cli); }

} // namespace qc::cli
