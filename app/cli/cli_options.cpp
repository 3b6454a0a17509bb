#include "cli/cli_options.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <cmath>

namespace qc::cli {

namespace {

struct SubcommandWord {
    const char* word;
    Subcommand command;
    const char* const* arguments; // names of the positional arguments, null-ended
};

const char* const kNoArguments[] = {nullptr};
const char* const kAddress[] = {"ADDRESS", nullptr};
const char* const kAddressMemory[] = {"ADDRESS", "MEMORY", nullptr};
const char* const kFile[] = {"FILE", nullptr};

const SubcommandWord kSubcommands[] = {
    {"scan", Subcommand::Scan, kNoArguments},     {"info", Subcommand::Info, kAddress},
    {"memories", Subcommand::Memories, kAddress}, {"read", Subcommand::Read, kAddressMemory},
    {"live", Subcommand::Live, kAddress},         {"set-time", Subcommand::SetTime, kAddress},
    {"report", Subcommand::Report, kFile},        {"convert", Subcommand::Convert, kFile},
};

// Which subcommands take an option.
constexpr unsigned Bit(Subcommand c) { return 1u << static_cast<unsigned>(c); }
constexpr unsigned kAll = ~0u;
constexpr unsigned kGaugeCommands = Bit(Subcommand::Scan) | Bit(Subcommand::Info) | Bit(Subcommand::Memories) |
                                    Bit(Subcommand::Read) | Bit(Subcommand::Live) | Bit(Subcommand::SetTime);
constexpr unsigned kExports = Bit(Subcommand::Read) | Bit(Subcommand::Convert);
constexpr unsigned kFileReports = kExports | Bit(Subcommand::Report);
constexpr unsigned kListings =
    Bit(Subcommand::Scan) | Bit(Subcommand::Info) | Bit(Subcommand::Memories) | Bit(Subcommand::Live);

enum class Key {
    Help,
    Lang,
    Settings,
    Data,
    Simulate,
    Timeout,
    Json,
    Output,
    Mode,
    NoChart,
    Count,
    Seconds,
    Gauge,
    Model,
    Min,
    Max,
    Target,
    Rule8020,
    NoRule8020,
};

struct OptionSpec {
    const char* name;
    const char* shortName;
    Key key;
    bool takesValue;
    unsigned allowedFor;
};

const OptionSpec kOptions[] = {
    {"--help", "-h", Key::Help, false, kAll},
    {"--lang", nullptr, Key::Lang, true, kAll},
    {"--settings", nullptr, Key::Settings, true, kAll},
    {"--data", nullptr, Key::Data, true, kAll},
    {"--simulate", nullptr, Key::Simulate, false, kAll}, // its folder is optional
    {"--timeout", nullptr, Key::Timeout, true, kGaugeCommands},
    {"--json", nullptr, Key::Json, false, kListings},
    {"--output", "-o", Key::Output, true, kExports},
    {"--mode", nullptr, Key::Mode, true, Bit(Subcommand::Report)},
    {"--no-chart", nullptr, Key::NoChart, false, kExports},
    {"--count", nullptr, Key::Count, true, Bit(Subcommand::Live)},
    {"--seconds", nullptr, Key::Seconds, true, Bit(Subcommand::Scan) | Bit(Subcommand::Live)},
    {"--gauge", nullptr, Key::Gauge, true, kFileReports},
    {"--model", nullptr, Key::Model, true, kFileReports},
    {"--min", nullptr, Key::Min, true, kFileReports},
    {"--max", nullptr, Key::Max, true, kFileReports},
    {"--target", nullptr, Key::Target, true, kFileReports},
    {"--rule8020", nullptr, Key::Rule8020, false, kFileReports},
    {"--no-rule8020", nullptr, Key::NoRule8020, false, kFileReports},
};

// Longest waits a command line may ask for: an hour.
constexpr double kMaxSeconds = 3600;
constexpr int kMaxCount = 1000000;

const OptionSpec* FindOption(const QString& name)
{
    for (const OptionSpec& o : kOptions)
        if (name == QLatin1String(o.name) || (o.shortName && name == QLatin1String(o.shortName)))
            return &o;
    return nullptr;
}

std::optional<std::chrono::milliseconds> ParseSeconds(const QString& text)
{
    const std::optional<double> s = ParseNumber(text);
    if (!s || *s <= 0 || *s > kMaxSeconds)
        return std::nullopt;
    return std::chrono::milliseconds(static_cast<long long>(std::ceil(*s * 1000)));
}

std::optional<double> ParseLimit(const QString& text)
{
    const std::optional<double> v = ParseNumber(text);
    if (!v || *v < 0)
        return std::nullopt;
    return v;
}

class Parser {
public:
    explicit Parser(const QStringList& args)
        : args_(args)
    {
    }

    ParseResult Run()
    {
        for (i_ = 0; i_ < args_.size() && result_.ok(); ++i_) {
            const QString& a = args_[i_];
            if (endOfOptions_ || !a.startsWith(u'-') || a == u"-")
                Positional(a);
            else if (a == u"--")
                endOfOptions_ = true;
            else
                Option(a);
        }
        if (result_.ok())
            Finish();
        return result_;
    }

private:
    void Fail(UsageProblem problem, const QString& detail = {})
    {
        if (result_.ok()) {
            result_.problem = problem;
            result_.detail = detail;
        }
    }

    void Positional(const QString& a)
    {
        Options& o = result_.options;
        if (o.command == Subcommand::None) {
            o.command = SubcommandOf(a);
            if (o.command == Subcommand::None)
                Fail(UsageProblem::UnknownSubcommand, a);
            return;
        }
        positional_ << a;
    }

    void Option(const QString& a)
    {
        QString name = a;
        std::optional<QString> inlineValue;
        if (const qsizetype eq = a.indexOf(u'='); a.startsWith(QStringLiteral("--")) && eq > 0) {
            name = a.left(eq);
            inlineValue = a.mid(eq + 1);
        }
        const OptionSpec* option = FindOption(name);
        if (option == nullptr)
            return Fail(UsageProblem::UnknownOption, name);
        used_.push_back(option);
        if (option->key == Key::Simulate)
            return Simulate(inlineValue);
        if (!option->takesValue) {
            if (inlineValue)
                return Fail(UsageProblem::BadValue, a);
            return Flag(option->key);
        }
        QString value;
        if (inlineValue) {
            value = *inlineValue;
        } else if (i_ + 1 < args_.size()) {
            value = args_[++i_];
        } else {
            return Fail(UsageProblem::MissingValue, name);
        }
        Value(option->key, name, value);
    }

    // "--simulate FOLDER": before the subcommand the next argument is the
    // folder unless it is an option or a subcommand word ("--simulate scan"
    // scans the built-in gauges); after it, only when it names a folder, as
    // the next argument may be the subcommand's own. "--simulate=FOLDER"
    // always names the folder.
    void Simulate(const std::optional<QString>& inlineValue)
    {
        Options& o = result_.options;
        o.simulate = true;
        QString folder;
        if (inlineValue) {
            folder = *inlineValue;
        } else if (i_ + 1 < args_.size()) {
            const QString& next = args_[i_ + 1];
            const bool candidate = !next.startsWith(u'-') && SubcommandOf(next) == Subcommand::None;
            if (candidate && (o.command == Subcommand::None || QFileInfo(next).isDir())) {
                folder = next;
                ++i_;
            }
        }
        if (inlineValue && folder.isEmpty())
            return Fail(UsageProblem::MissingValue, QStringLiteral("--simulate"));
        if (folder.isEmpty())
            return;
        if (!QFileInfo(folder).isDir())
            return Fail(UsageProblem::NoSuchFolder, folder);
        o.simulateFolder = folder;
    }

    void Flag(Key key)
    {
        Options& o = result_.options;
        switch (key) {
        case Key::Help:
            o.help = true;
            break;
        case Key::Json:
            o.json = true;
            break;
        case Key::NoChart:
            o.noChart = true;
            break;
        case Key::Rule8020:
            o.limits.rule8020 = true;
            break;
        case Key::NoRule8020:
            o.limits.rule8020 = false;
            break;
        default:
            break;
        }
    }

    void Value(Key key, const QString& name, const QString& value)
    {
        Options& o = result_.options;
        const QString both = name + u' ' + value;
        auto need = [&](bool ok) {
            if (!ok)
                Fail(UsageProblem::BadValue, both);
        };
        switch (key) {
        case Key::Lang: {
            const QString l = value.toLower();
            need(l == u"de" || l == u"en");
            o.language = l == u"en" ? 1 : 0;
            break;
        }
        case Key::Settings:
        case Key::Data:
            need(!value.isEmpty());
            (key == Key::Settings ? o.settingsDir : o.dataDir) = value;
            break;
        case Key::Timeout:
            o.timeout = ParseSeconds(value);
            need(o.timeout.has_value());
            break;
        case Key::Seconds:
            o.duration = ParseSeconds(value);
            need(o.duration.has_value());
            break;
        case Key::Output:
            need(!value.isEmpty());
            o.output = value;
            break;
        case Key::Mode: {
            const QString m = value.toUpper();
            need(m == u"A" || m == u"S" || m == u"W");
            o.mode = m;
            break;
        }
        case Key::Count: {
            bool ok = false;
            const int n = value.toInt(&ok);
            need(ok && n >= 1 && n <= kMaxCount);
            o.count = n;
            break;
        }
        case Key::Gauge:
            need(!value.trimmed().isEmpty());
            o.gauge = value.trimmed();
            break;
        case Key::Model:
            need(!value.trimmed().isEmpty());
            o.model = value.trimmed().toUpper();
            break;
        case Key::Min:
            o.limits.minimum = ParseLimit(value);
            need(o.limits.minimum.has_value());
            break;
        case Key::Max:
            o.limits.maximum = ParseLimit(value);
            need(o.limits.maximum.has_value());
            break;
        case Key::Target:
            o.limits.target = ParseLimit(value);
            need(o.limits.target.has_value());
            break;
        default:
            break;
        }
    }

    void Finish()
    {
        Options& o = result_.options;
        if (o.command == Subcommand::None) {
            if (!o.help)
                Fail(UsageProblem::NoSubcommand);
            return;
        }
        for (const OptionSpec* option : used_)
            if ((option->allowedFor & Bit(o.command)) == 0)
                return Fail(UsageProblem::OptionNotHere, QString::fromLatin1(option->name));
        if (o.help)
            return; // the subcommand's help needs no arguments
        const char* const* names = nullptr;
        for (const SubcommandWord& w : kSubcommands)
            if (w.command == o.command)
                names = w.arguments;
        qsizetype n = 0;
        while (names[n] != nullptr)
            ++n;
        if (positional_.size() < n)
            return Fail(UsageProblem::MissingArgument, QString::fromLatin1(names[positional_.size()]));
        if (positional_.size() > n)
            return Fail(UsageProblem::ExtraArgument, positional_[n]);
        if (n > 0 && QLatin1String(names[0]) == QLatin1String("ADDRESS")) {
            o.address = NormaliseAddress(positional_[0]);
            if (o.address.isEmpty())
                return Fail(UsageProblem::BadAddress, positional_[0]);
        }
        if (o.command == Subcommand::Read)
            o.memory = positional_[1];
        if (o.command == Subcommand::Report || o.command == Subcommand::Convert)
            o.file = positional_[0];
        if (o.command == Subcommand::Convert && o.output.isEmpty())
            return Fail(UsageProblem::NoOutput);
        for (const QString* dir : {&o.settingsDir, &o.dataDir})
            if (!dir->isEmpty() && QFileInfo::exists(*dir) && !QFileInfo(*dir).isDir())
                return Fail(UsageProblem::NoSuchFolder, *dir);
    }

    const QStringList& args_;
    qsizetype i_ = 0;
    bool endOfOptions_ = false;
    QStringList positional_;
    std::vector<const OptionSpec*> used_;
    ParseResult result_;
};

} // namespace

ParseResult ParseArguments(const QStringList& arguments) { return Parser(arguments).Run(); }

std::optional<int> LanguageOf(const QStringList& arguments)
{
    std::optional<int> language;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == u"--")
            break;
        QString value;
        if (a == u"--lang" && i + 1 < arguments.size())
            value = arguments[++i];
        else if (a.startsWith(QStringLiteral("--lang=")))
            value = a.mid(7);
        else
            continue;
        if (value.compare(QStringLiteral("de"), Qt::CaseInsensitive) == 0)
            language = 0;
        else if (value.compare(QStringLiteral("en"), Qt::CaseInsensitive) == 0)
            language = 1;
    }
    return language;
}

QString SubcommandName(Subcommand command)
{
    for (const SubcommandWord& w : kSubcommands)
        if (w.command == command)
            return QString::fromLatin1(w.word);
    return {};
}

Subcommand SubcommandOf(const QString& word)
{
    for (const SubcommandWord& w : kSubcommands)
        if (word == QLatin1String(w.word))
            return w.command;
    return Subcommand::None;
}

QString NormaliseAddress(const QString& text)
{
    static const QRegularExpression kPlain(QStringLiteral("^[0-9A-Fa-f]{12}$"));
    static const QRegularExpression kColons(QStringLiteral("^([0-9A-Fa-f]{2}:){5}[0-9A-Fa-f]{2}$"));
    if (!kPlain.match(text).hasMatch() && !kColons.match(text).hasMatch())
        return {};
    return QString(text).remove(u':').toUpper();
}

std::optional<double> ParseNumber(const QString& text)
{
    static const QRegularExpression kNumber(QStringLiteral("^[+-]?([0-9]+([.,][0-9]*)?|[.,][0-9]+)$"));
    const QString t = text.trimmed();
    if (!kNumber.match(t).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = QString(t).replace(u',', u'.').toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace qc::cli
