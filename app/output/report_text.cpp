#include "output/report_text.h"

#include <algorithm>

#include "data/measurement_data.h"
#include "data/numbers.h"
#include "data/record_text.h"
#include "data/text_align.h"
#include "data/units.h"
#include "data/text_align.h"
#include "shell/texts.h"

namespace qc {

namespace {

const QString kNoDateTime = QStringLiteral("00:00:00");
const QString kMilliseconds = QStringLiteral(" ms");

class Lines {
public:
    void Add(const QString& line) { text_ += line + kReportLineEnd; }
    QString Take() { return std::move(text_); }

private:
    QString text_;
};

QString PlainNumber(const QLocale& locale, double value, int decimals)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'f', decimals);
}

// The shortest text that reads back as the same number, locale separator.
QString DefaultNumberText(const QLocale& locale, double value)
{
    QLocale plain = locale;
    plain.setNumberOptions(QLocale::OmitGroupSeparator);
    return plain.toString(value, 'g', QLocale::FloatingPointShortest);
}

void ProjectSection(const ReportProject& project, const QLocale& locale, Lines& out)
{
    if (std::none_of(project.Texts.begin(), project.Texts.end(), IsProjectTextSet))
        return;
    out.Add(report::kProjectMark + LocaleDateText(project.Date, locale) + u' ' +
            project.Time.toString(QStringLiteral("HH:mm")));
    for (int i = 0; i < kProjectFields; ++i)
        if (IsProjectTextSet(project.Texts[i]))
            out.Add(report::kProjectMark + project.Labels[i] + u' ' + project.Texts[i]);
    out.Add(QString());
}

// Items from the third on; the index one past the end adds an empty line,
// as the list yields an empty text there.
void StatisticsItems(const QStringList& items, Lines& out)
{
    for (qsizetype i = report::kStatListFirstItem; i <= items.size(); ++i)
        out.Add(i < items.size() ? items[i] : QString());
}

QString LimitLine(const QString& label, const QString& text, const QString& unit)
{
    return label + QString(report::kLimitGap, u' ') + RightAlign(report::kLimitWidth, text) + u' ' + unit;
}

void StatisticsBlock(const QStringList& items, const ReportInput& in, Lines& out)
{
    StatisticsItems(items, out);
    const Limits& l = in.limits;
    if (!(l.MinLimit == 0 && l.MaxLimit == 0)) {
        out.Add(LimitLine(report::kMinLimitLabel, l.MinLimitText, in.unit));
        out.Add(LimitLine(report::kMaxLimitLabel, l.MaxLimitText, in.unit));
    }
    if (l.TargetValue != 0)
        out.Add(LimitLine(StatText(in.language, report::kTargetTextKey), l.TargetText, in.unit));
}

void StatisticsSection(const ReportInput& in, Lines& out)
{
    StatisticsBlock(in.statistics, in, out);
    if (in.otherMaterialStatistics)
        StatisticsBlock(*in.otherMaterialStatistics, in, out);
}

void DataSection(const ReportInput& in, Lines& out)
{
    out.Add(QString());
    const size_t n = std::min<size_t>(in.rows.size(), kMaxRows);
    for (size_t i = 0; i < n; ++i) {
        const Reading& r = in.rows[i];
        if (r.Value == 0 && r.Number <= 0)
            break;
        out.Add(ReadingLine(r, in.profile, in.locale));
    }
}

QString TriggerReport(const ReportInput& in)
{
    const PulseSeries& p = *in.trigger;
    Lines out;
    out.Add(report::kTriggerMark + p.MemoryName.trimmed() + u' ' + p.Description);
    StatisticsItems(in.statistics, out);
    out.Add(StatText(in.language, report::kPulseTimeTextKey) + u' ' +
            PlainNumber(in.locale, RoundHalfEven(p.PulseTime, 2), 2) + kMilliseconds);
    out.Add(QString());
    for (double v : p.Values)
        out.Add(DefaultNumberText(in.locale, v));
    return out.Take();
}

} // namespace

bool IsProjectTextSet(const QString& text) { return !text.isEmpty() && text != u" "; }

bool IsTriggerMemory(const QString& memoryName) { return memoryName.left(2).contains(u't'); }

QString ReportDateTimeText(const Reading& row, const QLocale& locale)
{
    if (!row.DateTime.isValid())
        return kNoDateTime;
    return LocaleDateText(row.DateTime.date(), locale) + u' ' + LocaleTimeText(row.DateTime.time(), locale);
}

QString ReadingLine(const Reading& row, const DeviceProfile& profile, const QLocale& locale)
{
    const QString number = RightAlign(report::kNumberWidth, QString::number(row.Number));
    const QString value = FormatValue(row.Value, row.Unit, profile, locale).ValueText;
    if (!IsDateMode(profile))
        return row.TimeText + QString(report::kTimeGap, u' ') + number + u' ' + value + u' ' +
               AusrichtenL(report::kUnitWidth, row.Unit) + u' ' + row.Material;

    const QString when = ReportDateTimeText(row, locale);
    const qsizetype shown = 1 + row.DateText.size() + 1 + row.TimeText.size();
    qsizetype blanks = std::max<qsizetype>(0, report::kDateTimeColumn - shown);
    // A long date-time text must still leave the reader its three blanks
    // before the number.
    const qsizetype numberBlanks = number.size() - number.trimmed().size();
    blanks = std::max(blanks, report::kMinBlanksBeforeNumber - numberBlanks);
    return when + QString(blanks, u' ') + number + u' ' + value + u' ' + AusrichtenL(report::kDateUnitWidth, row.Unit) +
           u' ' + row.Material;
}

QString BuildReportText(QStringView mode, const ReportInput& in)
{
    const bool all = mode == report_mode::All;
    if (all && in.trigger)
        return TriggerReport(in);
    Lines out;
    if (all || mode == report_mode::Project)
        ProjectSection(in.project, in.locale, out);
    if (all || mode == report_mode::Statistics)
        StatisticsSection(in, out);
    if (all || mode == report_mode::Readings)
        DataSection(in, out);
    return out.Take();
}

QString FillReportText(QStringView mode, MeasurementData& data, const ReportProject& project, int language,
                       const std::optional<PulseSeries>& trigger)
{
    ReportInput in;
    in.project = project;
    in.limits = data.limits;
    in.profile = data.gauge.profile;
    in.locale = data.locale;
    in.language = language;
    in.statistics = data.statistics.Lines();
    if (trigger && data.state.TableMode == kMemorySlot)
        in.trigger = trigger;
    const bool all = mode == report_mode::All;
    if (!(all && in.trigger)) {
        in.rows = data.table.Readings(data.state.TableMode);
        if ((all || mode == report_mode::Statistics) && data.statistics.MaterialButton.Visible) {
            data.SwitchMaterial();
            in.otherMaterialStatistics = data.statistics.Lines();
        }
    }
    in.unit = data.state.CurrentUnit;
    return BuildReportText(mode, in);
}

ReportProject ProjectFromSettings(const SettingsStore& settings, const QTime& time, const QDate& today)
{
    ReportProject p;
    p.Labels = settings.projectLabels.Captions;
    p.Texts = settings.projectData.Texts;
    p.Date = settings.projectData.Date.isValid() ? settings.projectData.Date : today;
    p.Time = time;
    return p;
}

} // namespace qc
