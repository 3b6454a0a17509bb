#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include "data/gauge_profile.h"
#include "data/limits.h"

namespace qc {

// The words of the statistics list in the user's language.
struct StatisticsTexts {
    QString Count;          // StatTexts 1
    QString Maximum;        // StatTexts 2
    QString Minimum;        // StatTexts 3
    QString Average;        // StatTexts 4
    QString StdDev;         // StatTexts 5
    QString Title;          // StatTexts 6
    QString NotPossible[3]; // StatTexts 7, 8, 9
    QString Abs;            // StatTexts 11
    QString Rule8020;       // StatTexts 14
    QString Yes;            // MessageTexts 58
    QString No;             // MessageTexts 59
};

// What the statistics need to know about the table they describe.
struct StatisticsContext {
    DeviceProfile profile;
    QString ModelGroup; // "JV" gauges measure two materials
    Limits limits;
    bool OnlineTable = false;   // the list is headed "Online"
    QString MemoryCaption;      // heading otherwise
    QString SelectedMemoryName; // trace ("t") and series ("s") memories hide the material button
    QLocale locale;
    StatisticsTexts texts;
};

// Label column width and value width of the list lines.
inline constexpr int kStatLabelWidth = 13;
inline constexpr int kStatValueWidth = 8;
inline constexpr int kStatUnitGap = 4;
inline constexpr double kStatMinStart = 999999;
inline constexpr double kStatMaxStart = -999999;
inline const QString kModelGroupTwoMaterials = QStringLiteral("JV");

// Running statistics of the readings shown in the table, with the lines of
// the statistics list. The window shows Lines() and mirrors MaterialButton.
class Statistics {
public:
    struct MaterialButtonState {
        QString Caption; // the material currently left out
        bool Visible = false;
    };

    // Start values; also hides the material button.
    void Reset();
    // Start values but the material button stays as it is (material switch).
    void ResetValues();

    // Adds one reading (CurrentValue/CurrentUnit/CurrentMaterial). The
    // texts and lines are built when next asked for, once per change.
    void Accumulate(double value, const QString& unit, const QString& material, const StatisticsContext& context);

    // Material button: "FE" <-> "NF" (class "5") or "NFE" (other classes).
    void SwitchMaterial(const QString& profileClass);

    // The list lines; also brings StatMinText .. StatStdText and
    // Verdict8020 up to date.
    const QStringList& Lines();

    int StatCount = 0;
    double StatSum = 0, StatSumAbs = 0, StatSumSq = 0;
    double StatMin = kStatMinStart, StatMax = kStatMaxStart;
    double StatMinAbs = kStatMinStart, StatMaxAbs = kStatMaxStart;
    double StatMean = 0, StatMeanAbs = 0;
    double StatStdDev = 0, StatStdDevAbs = 0;
    // Texts of the values, as of the last Lines().
    QString StatMinText, StatMaxText, StatMeanText, StatStdText = QStringLiteral(" ");
    QString FirstUnit;
    bool UnitsDiffer = false;
    bool AbsoluteValues = false;
    int BandCount = 0;
    double BandPercent = 0;
    bool OutOfLimits = false;
    bool BandExceeded = false;
    bool MeanBelowTarget = false;
    QString Verdict8020;
    QString StatMaterial;
    QString MaterialLabel;
    MaterialButtonState MaterialButton;

private:
    bool LeftOut(const QString& material) const;
    void TakeFirstMaterial(const QString& material);
    void AddValue(double x);
    void Evaluate8020(double x, const Limits& limits);
    void BuildTexts();
    void BuildLines(const StatisticsContext& context);

    QStringList lines_;
    StatisticsContext context_; // of the last reading counted
    QString lastUnit_;
    bool textsStale_ = false;
};

// Caption of the memory shown in the table: "Speicher" (class "1"),
// "Speicher <selector text> (<file comment>)" (class "5"), otherwise
// "Speicher <number of the memory read last>".
QString MemoryCaption(const QString& profileClass, const QString& memoryWord, const QString& selectorText,
                      const QString& fileComment, int memoryNumber);

// Decimal-aligned list lines. `label` is padded to the label column and
// the value stands so that its decimal separator is under that of
// `minimumText`; the unit column stays where the minimum's unit stands.
QString StatisticsValueLine(const QString& label, const QString& valueText, const QString& minimumText,
                            const QString& unit, QChar decimalSeparator);

} // namespace qc
