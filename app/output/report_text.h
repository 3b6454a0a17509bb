#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QTime>
#include <array>
#include <optional>
#include <vector>

#include "data/gauge_profile.h"
#include "data/limits.h"
#include "data/measurement_table.h"
#include "shell/settings_store.h"

namespace qc {

class MeasurementData;

// Sections a report holds: "A" all (clipboard, word processor, printer,
// measurement file), "P" the project section (spreadsheet header), "S" the
// statistics, "W" the readings.
namespace report_mode {
inline constexpr QStringView All = u"A";
inline constexpr QStringView Project = u"P";
inline constexpr QStringView Statistics = u"S";
inline constexpr QStringView Readings = u"W";
} // namespace report_mode

// Every line of a report ends with this.
inline const QString kReportLineEnd = QStringLiteral("\r\n");

// Layout of the limit and reading lines.
namespace report {
inline const QString kMinLimitLabel = QStringLiteral("Min Limit   ");
inline const QString kMaxLimitLabel = QStringLiteral("Max Limit   ");
inline constexpr int kLimitGap = 5;         // blanks between label and value
inline constexpr int kLimitWidth = 8;       // limit text right-aligned
inline const QString kProjectMark = QStringLiteral("#  ");
inline constexpr int kNumberWidth = 5;      // reading number right-aligned
inline constexpr int kTimeGap = 6;          // blanks after the time (time mode)
inline constexpr int kUnitWidth = 4;        // unit left-aligned (time mode)
inline constexpr int kDateUnitWidth = 5;    // unit left-aligned (date mode)
inline constexpr int kDateTimeColumn = 25;  // date mode: date-time plus blanks
inline constexpr int kMinBlanksBeforeNumber = 3; // what the file reader looks for
inline constexpr int kStatListFirstItem = 2;     // the list's caption and blank line stay out
inline constexpr int kTargetTextKey = 10;        // StatTexts "Sollwert    "
inline constexpr int kPulseTimeTextKey = 15;     // StatTexts "Impulszeit"
inline const QString kTriggerMark = QStringLiteral("Trigger");
} // namespace report

// The project section: labels and texts of the six fields with the date and
// time of the project data dialog.
struct ReportProject {
    std::array<QString, kProjectFields> Labels;
    std::array<QString, kProjectFields> Texts;
    QDate Date;
    QTime Time;
};

// A trigger memory holds a pulse series instead of readings.
struct PulseSeries {
    QString MemoryName;
    QString Description; // as the memory download words it
    double PulseTime = 0; // ms
    std::vector<double> Values;
    QString Unit;                // unit of the values (display unit)
    double SampleIntervalUs = 0; // time between two values; 0 when not known
};

// Everything a report is made of, passed in explicitly.
struct ReportInput {
    ReportProject project;
    // Items of the statistics list; a second list follows for gauges with
    // two materials (the statistics of the other material).
    QStringList statistics;
    std::optional<QStringList> otherMaterialStatistics;
    Limits limits;
    QString unit; // unit of the limit and target lines
    std::vector<Reading> rows;
    DeviceProfile profile; // date mode and decimals
    QLocale locale;
    int language = 0;
    // Set for a trigger memory shown in the memory table: mode "A" is then
    // the trigger report.
    std::optional<PulseSeries> trigger;
};

// True when a project text counts: neither empty nor a single blank.
bool IsProjectTextSet(const QString& text);

// The report of `mode` ("A", "P", "S", "W"); an unknown mode gives an
// empty text. Lines end with CR LF.
QString BuildReportText(QStringView mode, const ReportInput& input);

// One reading line of the data section (without the line end).
// Time mode: "10:15:30      12        12.3 µm   FE".
QString ReadingLine(const Reading& row, const DeviceProfile& profile, const QLocale& locale);

// The date-time of a date-mode reading as the report writes it: the
// locale's short date and long time, always with the time so the line
// keeps its ":" at midnight; "00:00:00" when the reading has none.
QString ReportDateTimeText(const Reading& row, const QLocale& locale);

// The report of the table the main window shows. For modes "A" and "S" on
// a gauge with two materials the material is switched and the statistics of
// the other material follow; the data stays switched afterwards.
QString FillReportText(QStringView mode, MeasurementData& data, const ReportProject& project, int language,
                       const std::optional<PulseSeries>& trigger = std::nullopt);

// A memory is a trigger memory when its name has a "t" in its first two characters.
bool IsTriggerMemory(const QString& memoryName);

// The project section's inputs from the settings: labels in the current
// language, the texts and date of the project data file, and the time of
// the dialog. A project without a date shows `today`.
ReportProject ProjectFromSettings(const SettingsStore& settings, const QTime& time, const QDate& today);

} // namespace qc
