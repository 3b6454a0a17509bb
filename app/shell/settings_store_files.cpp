// The file formats behind each settings mode.
#include <algorithm>

#include "shell/settings_file_io.h"
#include "shell/settings_store.h"
#include "shell/texts.h"

namespace qc {
namespace {

constexpr int kLimitsFields = 3; // minimum, maximum, target; the 80/20 flag is optional
constexpr int kKeyFields = 3;    // enabled, target program, options; the key follows
constexpr QStringView kDefaultOptions = u"0000";
constexpr QStringView kDateLineTag = u"DT";
constexpr int kDateTextStart = 3; // after "DT "
constexpr int kDateTextLength = 20;
constexpr QStringView kCommentMark = u"#";

// A message quotes at most this much of a damaged line or field: a
// megabyte of text would freeze the message box.
constexpr int kExcerptLength = 40;

QString Excerpt(const QString& text)
{
    if (text.size() <= kExcerptLength)
        return text;
    return text.left(kExcerptLength) + QStringLiteral("... (%1 characters)").arg(text.size());
}

QString MissingSeparators(int lineNumber, const QString& line, int needed)
{
    return QStringLiteral("line %1 has fewer than %2 \";\": \"%3\"").arg(lineNumber).arg(needed).arg(Excerpt(line));
}

QString NotANumber(int lineNumber, int field, const QString& text)
{
    return QStringLiteral("line %1, field %2: \"%3\" is not a number").arg(lineNumber).arg(field).arg(Excerpt(text));
}

QString NotABoolean(int lineNumber, int field, const QString& text)
{
    return QStringLiteral("line %1, field %2: \"%3\" is not 1 or 0").arg(lineNumber).arg(field).arg(Excerpt(text));
}

// Line ends inside a value would split one record into two.
QString OneLine(const QString& text)
{
    QString line = text;
    line.replace(u'\r', u' ').replace(u'\n', u' ');
    return line;
}

} // namespace

bool SettingsStore::LoadLimits(QString* error)
{
    const QString path = LimitsPath();
    if (!CreateIfMissing(path, {}, error))
        return false;
    const auto lines = ReadTrimmedLines(path, error);
    if (!lines)
        return false;
    double* const values[kLimitsFields] = {&limits.MinLimit, &limits.MaxLimit, &limits.TargetValue};
    QString* const texts[kLimitsFields] = {&limits.MinLimitText, &limits.MaxLimitText, &limits.TargetText};
    for (int n = 1; n <= lines->size(); ++n) {
        const QString& line = lines->at(n - 1);
        if (line.isEmpty())
            continue;
        if (line.count(u';') < kLimitsFields) {
            *error = MissingSeparators(n, line, kLimitsFields);
            return false;
        }
        for (int f = 0; f < kLimitsFields; ++f) {
            const QString field = *Field(line, f + 1);
            const auto value = ParseNumber(field, m_locale);
            if (!value) {
                *error = NotANumber(n, f + 1, field);
                return false;
            }
            *values[f] = *value;
            *texts[f] = NumberText(*value, m_locale);
        }
        const auto flag = Field(line, kLimitsFields + 1);
        if (!flag) {
            limits.Rule8020 = false;
            continue;
        }
        const auto rule = ParseBool(*flag, m_locale);
        if (!rule) {
            *error = NotABoolean(n, kLimitsFields + 1, *flag);
            return false;
        }
        limits.Rule8020 = *rule;
    }
    return true;
}

bool SettingsStore::SaveLimits(QString* error)
{
    // 10;250;120;0;
    const QString line = NumberText(limits.MinLimit, m_locale) + u';' + NumberText(limits.MaxLimit, m_locale) + u';' +
                         NumberText(limits.TargetValue, m_locale) + u';' + (limits.Rule8020 ? u'1' : u'0') + u';';
    return WriteLines(LimitsPath(), {line}, error);
}

bool SettingsStore::LoadKeyForwarding(QString* error)
{
    const QString path = KeyForwardingPath();
    if (!CreateIfMissing(path, {}, error))
        return false;
    const auto lines = ReadTrimmedLines(path, error);
    bool ok = lines.has_value();
    for (int n = 1; ok && n <= lines->size(); ++n) {
        const QString& line = lines->at(n - 1);
        if (line.isEmpty())
            continue;
        if (line.count(u';') < kKeyFields) {
            *error = MissingSeparators(n, line, kKeyFields);
            ok = false;
            break;
        }
        const QString flag = *Field(line, 1);
        const auto enabled = ParseBool(flag, m_locale);
        if (!enabled) {
            *error = NotABoolean(n, 1, flag);
            ok = false;
            break;
        }
        keyForwarding.Enabled = *enabled;
        keyForwarding.TargetApplication = *Field(line, 2);
        keyForwarding.Options = *Field(line, 3);
        qsizetype third = -1;
        for (int i = 0; i < kKeyFields; ++i)
            third = line.indexOf(u';', third + 1);
        keyForwarding.EndOfLineKey = line.mid(third + 1);
    }
    if (keyForwarding.Options.isEmpty())
        keyForwarding.Options = kDefaultOptions.toString();
    return ok;
}

bool SettingsStore::SaveKeyForwarding(QString* error)
{
    const KeyForwardingSettings& k = keyForwarding;
    // ";" separates the fields: such a path would come back split.
    if (k.TargetApplication.contains(u';')) {
        *error = QStringLiteral("the program path contains \";\": \"%1\"").arg(Excerpt(k.TargetApplication));
        return false;
    }
    const QString line = QString(k.Enabled ? u'1' : u'0') + u';' + OneLine(k.TargetApplication) + u';' +
                         OneLine(k.Options) + u';' + OneLine(k.EndOfLineKey);
    return WriteLines(KeyForwardingPath(), {line}, error);
}

bool SettingsStore::LoadLanguage(QString* error)
{
    const QString path = LanguagePath();
    if (!CreateIfMissing(path, QString::number(kGerman), error))
        return false;
    const auto lines = ReadTrimmedLines(path, error);
    if (!lines)
        return false;
    const QString first = lines->isEmpty() ? QString() : lines->first();
    if (first.isEmpty()) {
        language = kGerman;
        return true;
    }
    const auto number = ParseNumber(first, m_locale);
    if (!number) {
        *error = NotANumber(1, 1, first);
        return false;
    }
    // Only 0 and 1 name a language; anything else would index past the texts.
    language = ClampLanguage(static_cast<int>(std::clamp(*number, -1.0, 2.0)));
    return true;
}

bool SettingsStore::SaveLanguage(QString* error)
{
    return WriteLines(LanguagePath(), {QString::number(language).trimmed()}, error);
}

bool SettingsStore::LoadProjectLabels(QString* error)
{
    const QString path = ProjectLabelsPath();
    if (!CreateIfMissing(path, {}, error))
        return false;
    const auto lines = ReadTrimmedLines(path, error);
    if (!lines)
        return false;
    int slot = 0;
    for (int n = 1; n <= lines->size() && slot < kProjectFields; ++n) {
        const QString& line = lines->at(n - 1);
        if (line.isEmpty() || line.startsWith(kCommentMark))
            continue;
        const auto german = Field(line, 1);
        const auto english = Field(line, 2);
        if (!german || !english) {
            *error = MissingSeparators(n, line, 2);
            return false;
        }
        projectLabels.Lines[slot] = line.left(kProjectLabelLength);
        projectLabels.Captions[slot] = ClampLanguage(language) == kEnglish ? *english : *german;
        ++slot;
    }
    return true;
}

bool SettingsStore::LoadProjectData(QString* error)
{
    const QString path = ProjectDataPath();
    if (!CreateIfMissing(path, {}, error))
        return false;
    const auto lines = ReadTrimmedLines(path, error);
    if (!lines)
        return false;
    for (int n = 1; n <= lines->size(); ++n) {
        const QString& line = lines->at(n - 1);
        if (n <= kProjectFields && !line.isEmpty())
            projectData.Texts[n - 1] = line.left(kProjectTextLength);
        if (line.startsWith(kDateLineTag)) {
            const QDate date = ParseDate(line.mid(kDateTextStart, kDateTextLength).trimmed());
            if (date.isValid())
                projectData.Date = date;
        }
    }
    return true;
}

bool SettingsStore::SaveProjectData(QString* error)
{
    QStringList lines;
    for (const QString& text : projectData.Texts)
        lines << OneLine(text);
    lines << kDateLineTag.toString() + u' ' + DateText(projectData.Date);
    return WriteLines(ProjectDataPath(), lines, error);
}

// The locale's short date with a four-digit year (31.12.2024, 12/31/2024).
QString SettingsStore::DateText(const QDate& date) const
{
    if (!date.isValid())
        return {};
    QString format = m_locale.dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return m_locale.toString(date, format);
}

// Accepts what DateText writes, plus the German and ISO forms, so a file
// written under another locale still reads.
QDate SettingsStore::ParseDate(const QString& text) const
{
    for (const QString& format : {m_locale.dateFormat(QLocale::ShortFormat), QStringLiteral("dd.MM.yyyy"),
                                  QStringLiteral("d.M.yyyy"), QStringLiteral("yyyy-MM-dd")}) {
        QString fourDigit = format;
        if (!fourDigit.contains(QStringLiteral("yyyy")))
            fourDigit.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
        const QDate date = m_locale.toDate(text, fourDigit);
        if (date.isValid())
            return date;
    }
    return {};
}

} // namespace qc
