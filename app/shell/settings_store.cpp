#include "shell/settings_store.h"

#include <utility>

#include "data/safe_file_name.h"
#include "shell/texts.h"
#include "shell/transfer_log.h"

namespace qc {

SettingsStore::SettingsStore(QString settingsDir, QLocale locale)
    : m_settingsDir(std::move(settingsDir))
    , m_locale(std::move(locale))
{
}

QString SettingsStore::FailurePrefix(QStringView mode, int language)
{
    return SettingsFailurePrefixText(mode, language);
}

QString SettingsStore::PerGaugePath(const char* stem) const
{
    return m_settingsDir + u'/' + QString::fromLatin1(stem) + u'_' + SafeGaugeNumber(m_gaugeNumber) +
           QStringLiteral(".ini");
}

QString SettingsStore::LimitsPath() const { return PerGaugePath("Limit"); }
QString SettingsStore::KeyForwardingPath() const { return PerGaugePath("Tastatur"); }
QString SettingsStore::LanguagePath() const { return PerGaugePath("Language"); }
// The "." before "_" is part of the name: Projektdaten._1234.ini.
QString SettingsStore::ProjectDataPath() const { return PerGaugePath("Projektdaten."); }
QString SettingsStore::ProjectLabelsPath() const { return m_settingsDir + QStringLiteral("/Projekt.ini"); }

namespace {

bool IsPerGauge(QStringView mode) { return mode != settings_mode::ProjectLabelsLoad; }

bool IsSave(QStringView mode)
{
    return mode == settings_mode::LimitsSave || mode == settings_mode::KeysSave ||
           mode == settings_mode::LanguageSave || mode == settings_mode::ProjectDataSave;
}

} // namespace

void SettingsStore::SetGaugeNumber(const QString& number)
{
    m_gaugeNumber = number;
    if (number.isEmpty())
        return;
    const QStringList pending = std::exchange(m_pendingSaves, {});
    for (const QString& mode : pending)
        Voreinstellungen(mode); // a failure is in the log
}

std::optional<SettingsFailure> SettingsStore::Voreinstellungen(QStringView mode)
{
    const bool known = !SettingsFailurePrefixText(mode, kGerman).isEmpty();
    if (known && IsPerGauge(mode) && m_gaugeNumber.isEmpty()) {
        if (IsSave(mode) && !m_pendingSaves.contains(mode.toString()))
            m_pendingSaves << mode.toString();
        return std::nullopt;
    }
    using Operation = bool (SettingsStore::*)(QString*);
    struct Entry {
        QStringView Mode;
        Operation Run;
        QString (SettingsStore::*Path)() const;
    };
    const Entry operations[] = {
        {settings_mode::LimitsLoad, &SettingsStore::LoadLimits, &SettingsStore::LimitsPath},
        {settings_mode::LimitsSave, &SettingsStore::SaveLimits, &SettingsStore::LimitsPath},
        {settings_mode::KeysLoad, &SettingsStore::LoadKeyForwarding, &SettingsStore::KeyForwardingPath},
        {settings_mode::KeysSave, &SettingsStore::SaveKeyForwarding, &SettingsStore::KeyForwardingPath},
        {settings_mode::LanguageLoad, &SettingsStore::LoadLanguage, &SettingsStore::LanguagePath},
        {settings_mode::LanguageSave, &SettingsStore::SaveLanguage, &SettingsStore::LanguagePath},
        {settings_mode::ProjectLabelsLoad, &SettingsStore::LoadProjectLabels, &SettingsStore::ProjectLabelsPath},
        {settings_mode::ProjectDataLoad, &SettingsStore::LoadProjectData, &SettingsStore::ProjectDataPath},
        {settings_mode::ProjectDataSave, &SettingsStore::SaveProjectData, &SettingsStore::ProjectDataPath},
    };
    for (const Entry& op : operations) {
        if (op.Mode != mode)
            continue;
        m_lastMode = mode.toString();
        m_lastPath = (this->*op.Path)();
        QString error;
        if (m_settingsDir.isEmpty())
            error = QStringLiteral("no settings folder"); // never fall back to the working or root folder
        else if ((this->*op.Run)(&error))
            return std::nullopt;
        SettingsFailure failure{FailurePrefix(mode, language), error};
        m_lastPrefix = failure.Prefix;
        if (m_log)
            m_log->WriteLog(failure.Prefix);
        return failure;
    }
    return std::nullopt;
}

} // namespace qc
