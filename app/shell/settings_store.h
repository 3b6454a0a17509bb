#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <optional>

#include "data/key_forwarding_settings.h"
#include "data/limits.h"

namespace qc {

class TransferLog;

// Mode codes of Voreinstellungen.
namespace settings_mode {
inline constexpr QStringView LimitsLoad = u"LL";
inline constexpr QStringView LimitsSave = u"LS";
inline constexpr QStringView KeysLoad = u"TL";
inline constexpr QStringView KeysSave = u"TS";
inline constexpr QStringView LanguageLoad = u"SL";
inline constexpr QStringView LanguageSave = u"SS";
inline constexpr QStringView ProjectLabelsLoad = u"PI";
inline constexpr QStringView ProjectDataLoad = u"PL";
inline constexpr QStringView ProjectDataSave = u"PS";
} // namespace settings_mode

inline constexpr int kProjectFields = 6;
inline constexpr int kProjectLabelLength = 60; // a label line is kept up to this
inline constexpr int kProjectTextLength = 30;  // a loaded field text is cut to this

// What the project data dialog shows and saves. Fields are slots 0..5 here
// (1..6 on the dialog). A null date means "not set yet".
struct ProjectData {
    std::array<QString, kProjectFields> Texts;
    QDate Date;
};

// The project field labels: each label line cut to 60 characters, and the
// caption taken from it for the language current when the file was read.
struct ProjectLabels {
    std::array<QString, kProjectFields> Lines;
    std::array<QString, kProjectFields> Captions;
};

// A failed settings operation: the message is Prefix + Description.
struct SettingsFailure {
    QString Prefix;
    QString Description;
    QString Message() const { return Prefix + Description; }
};

// Reads and writes the settings files of the settings folder (the logic
// behind Voreinstellungen; the main window shows the failures). Values read
// before a failure stay assigned.
class SettingsStore {
public:
    explicit SettingsStore(QString settingsDir = {}, QLocale locale = QLocale::system());

    void SetSettingsDir(const QString& dir) { m_settingsDir = dir; }
    const QString& SettingsDir() const { return m_settingsDir; }
    void SetLocale(const QLocale& locale) { m_locale = locale; }
    // Failure prefixes go to this log; none when null.
    void SetLog(const TransferLog* log) { m_log = log; }

    // The number the gauge reported; it only ever enters file names through
    // SafeGaugeNumber. Settings saved while no gauge was known are written
    // to the files of the first gauge set.
    void SetGaugeNumber(const QString& number);
    const QString& GaugeNumber() const { return m_gaugeNumber; }

    // Runs one operation ("LL", "LS", "TL", "TS", "SL", "SS", "PI", "PL",
    // "PS"); an unknown mode does nothing. The prefix of a failure is also
    // written to the log. Without a gauge number the per-gauge files are
    // neither read nor written: loads keep the values, saves wait for the
    // gauge (PendingSaves).
    std::optional<SettingsFailure> Voreinstellungen(QStringView mode);

    // File names for the current gauge.
    QString LimitsPath() const;
    QString KeyForwardingPath() const;
    QString LanguagePath() const;
    QString ProjectLabelsPath() const;
    QString ProjectDataPath() const;

    // Save modes waiting for a gauge number, in the order they were asked for.
    const QStringList& PendingSaves() const { return m_pendingSaves; }

    // Mode and file of the last operation; the last failure prefix shown.
    const QString& LastMode() const { return m_lastMode; }
    const QString& LastPath() const { return m_lastPath; }
    const QString& LastPrefix() const { return m_lastPrefix; }

    // The prefix a failure of `mode` shows in `language`.
    static QString FailurePrefix(QStringView mode, int language);

    // Values of the files (the globals other parts of the program read).
    Limits limits;
    KeyForwardingSettings keyForwarding;
    int language = 0;
    ProjectLabels projectLabels;
    ProjectData projectData;

private:
    bool LoadLimits(QString* error);
    bool SaveLimits(QString* error);
    bool LoadKeyForwarding(QString* error);
    bool SaveKeyForwarding(QString* error);
    bool LoadLanguage(QString* error);
    bool SaveLanguage(QString* error);
    bool LoadProjectLabels(QString* error);
    bool LoadProjectData(QString* error);
    bool SaveProjectData(QString* error);
    QString PerGaugePath(const char* stem) const;
    QString DateText(const QDate& date) const;
    QDate ParseDate(const QString& text) const;

    QString m_settingsDir;
    QLocale m_locale;
    const TransferLog* m_log = nullptr;
    QString m_gaugeNumber;
    QStringList m_pendingSaves;
    QString m_lastMode;
    QString m_lastPath;
    QString m_lastPrefix;
};

} // namespace qc
