#include "data/file_date_time.h"

#include "data/record_text.h"

namespace qc {

namespace {

// Date-time texts of files written on other systems: German and US Windows
// defaults and ISO.
const char* const kFixedDateTimeFormats[] = {"dd.MM.yyyy HH:mm:ss", "d.M.yyyy H:mm:ss", "M/d/yyyy h:mm:ss AP",
                                             "d/M/yyyy H:mm:ss", "yyyy-MM-dd HH:mm:ss"};
const char* const kFixedDateFormats[] = {"dd.MM.yyyy", "d.M.yyyy", "M/d/yyyy", "d/M/yyyy", "yyyy-MM-dd"};

bool IsAsciiDigit(QChar c) { return c >= u'0' && c <= u'9'; }

constexpr int kYear = 0, kMonth = 1, kDay = 2, kHour = 3, kMinute = 4, kSecond = 5, kFieldCount = 6;

} // namespace

NumericDateTimeForm::NumericDateTimeForm(const QString& format, const QLocale& locale)
    : am_(locale.amText())
    , pm_(locale.pmText())
{
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        qsizetype n = 1;
        while (i + n < format.size() && format[i + n] == c)
            ++n;
        if (!Add(c, static_cast<int>(n))) {
            usable_ = false;
            return;
        }
        i += n;
    }
}

QDateTime NumericDateTimeForm::Read(QStringView text) const
{
    int value[kFieldCount] = {0, 1, 1, 0, 0, 0};
    int half = -1; // 0 AM, 1 PM
    qsizetype at = 0;
    for (const Part& part : parts_) {
        if (part.kind == Kind::Literal) {
            if (!text.mid(at).startsWith(part.literal))
                return {};
            at += part.literal.size();
        } else if (part.kind == Kind::AmPm) {
            if (!am_.isEmpty() && text.mid(at).startsWith(am_, Qt::CaseInsensitive)) {
                half = 0;
                at += am_.size();
            } else if (!pm_.isEmpty() && text.mid(at).startsWith(pm_, Qt::CaseInsensitive)) {
                half = 1;
                at += pm_.size();
            } else {
                return {};
            }
        } else {
            int digits = 0, number = 0;
            while (at < text.size() && digits < part.maxDigits && IsAsciiDigit(text[at])) {
                number = number * 10 + (text[at].unicode() - u'0');
                ++digits;
                ++at;
            }
            if (digits == 0 || digits < part.minDigits)
                return {};
            value[static_cast<int>(part.kind)] = number;
        }
    }
    if (at != text.size())
        return {};
    int hour = value[kHour];
    if (half >= 0) {
        if (hour < 1 || hour > 12)
            return {};
        hour = hour % 12 + (half == 1 ? 12 : 0); // 12 AM is midnight, 12 PM noon
    }
    const QDate date(value[kYear], value[kMonth], value[kDay]);
    const QTime time(hour, value[kMinute], value[kSecond]);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

bool NumericDateTimeForm::Add(QChar c, int n)
{
    switch (c.unicode()) {
    case u'y':
        return n == 4 && Field(Kind::Year, 4, 4);
    case u'M':
        return n <= 2 && Field(Kind::Month, n, 2);
    case u'd':
        return n <= 2 && Field(Kind::Day, n, 2);
    case u'H':
    case u'h':
        return n <= 2 && Field(Kind::Hour, n, 2);
    case u'm':
        return n <= 2 && Field(Kind::Minute, n, 2);
    case u's':
        return n <= 2 && Field(Kind::Second, n, 2);
    case u'A':
    case u'a':
        parts_.push_back({Kind::AmPm, 0, 0, {}});
        return true;
    case u'P':
    case u'p':
        return !parts_.empty() && parts_.back().kind == Kind::AmPm; // the P of "AP"
    default:
        if (c.isLetter() || c == u'\'')
            return false; // names, time zones, quoted text: the general parser's work
        parts_.push_back({Kind::Literal, 0, 0, QString(n, c)});
        return true;
    }
}

bool NumericDateTimeForm::Field(Kind kind, int minDigits, int maxDigits)
{
    parts_.push_back({kind, minDigits, maxDigits, {}});
    return true;
}

FileDateTimeReader::FileDateTimeReader(const QLocale& locale)
{
    AddForm(locale, LocaleDateFormat(locale) + u' ' + LocaleTimeFormat(locale));
    for (const char* format : kFixedDateTimeFormats)
        AddForm(QLocale::c(), QString::fromLatin1(format));
    dateForms_.emplace_back(LocaleDateFormat(locale), locale);
    for (const char* format : kFixedDateFormats)
        dateForms_.emplace_back(QString::fromLatin1(format), QLocale::c());
}

QDateTime FileDateTimeReader::ReadDate(const QString& text) const
{
    for (const NumericDateTimeForm& form : dateForms_) {
        if (!form.Usable())
            continue;
        if (const QDateTime t = form.Read(text); t.isValid())
            return t;
    }
    return {};
}

QDateTime FileDateTimeReader::Read(const QString& text)
{
    if (!text.contains(u':'))
        return {};
    QDateTime t = Try(last_, text);
    for (size_t i = 0; i < forms_.size() && !t.isValid(); ++i)
        if (i != last_ && (t = Try(i, text)).isValid())
            last_ = i;
    return t;
}

void FileDateTimeReader::AddForm(const QLocale& locale, const QString& format)
{
    forms_.push_back({locale, format, NumericDateTimeForm(format, locale)});
}

QDateTime FileDateTimeReader::Try(size_t i, const QString& text) const
{
    const Form& f = forms_[i];
    return f.numeric.Usable() ? f.numeric.Read(text) : f.locale.toDateTime(text, f.format);
}

} // namespace qc
