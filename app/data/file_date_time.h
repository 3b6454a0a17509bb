#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <vector>

namespace qc {

// A date-time form made only of numbers, separators and AM/PM ("dd.MM.yyyy
// HH:mm:ss", "M/d/yyyy h:mm:ss AP"), read without the general parser: a
// file holds thousands of them. Usable() is false for other forms.
class NumericDateTimeForm {
public:
    NumericDateTimeForm(const QString& format, const QLocale& locale);
    bool Usable() const { return usable_; }
    // Invalid unless the whole text has the form and names a real moment.
    QDateTime Read(QStringView text) const;

private:
    enum class Kind { Year, Month, Day, Hour, Minute, Second, Literal, AmPm };
    struct Part {
        Kind kind;
        int minDigits = 1;
        int maxDigits = 2;
        QString literal;
    };
    bool Add(QChar c, int n);
    bool Field(Kind kind, int minDigits, int maxDigits);

    std::vector<Part> parts_;
    QString am_, pm_;
    bool usable_ = true;
};

// Reads the date-time texts of measurement files: the locale's short date
// and long time, or the German, US or ISO form of a file from elsewhere.
// The form that worked last is tried first, as a file keeps to one form.
class FileDateTimeReader {
public:
    explicit FileDateTimeReader(const QLocale& locale);
    // Invalid when no form fits (a text without ":" has no time).
    QDateTime Read(const QString& text);
    // A date alone (numeric forms only), at midnight.
    QDateTime ReadDate(const QString& text) const;

private:
    struct Form {
        QLocale locale;
        QString format;
        NumericDateTimeForm numeric;
    };
    void AddForm(const QLocale& locale, const QString& format);
    QDateTime Try(size_t i, const QString& text) const;

    std::vector<Form> forms_;
    std::vector<NumericDateTimeForm> dateForms_;
    size_t last_ = 0;
};

} // namespace qc
