#include "cli/cli_texts.h"

namespace qc::cli {

namespace {

struct Pair {
    const char16_t* german;
    const char16_t* english;
};

QString Pick(int language, Pair p) { return QString::fromUtf16(language == 1 ? p.english : p.german); }

Pair TextPair(Text text)
{
    switch (text) {
    case Text::TryHelp:
        return {u"\"%1 --help\" zeigt die Befehle und Optionen.", u"\"%1 --help\" lists the commands and options."};
    case Text::NoControl:
        return {u"Die Bluetooth-Komponente kann nicht geladen werden: %1",
                u"The Bluetooth component cannot be loaded: %1"};
    case Text::NoAdapter:
        return {u"Kein Bluetooth-Adapter gefunden.", u"No Bluetooth adapter found."};
    case Text::GaugeNotFound:
        return {u"Das Gerät %1 wurde nicht gefunden.", u"Gauge %1 not found."};
    case Text::ScanFailed:
        return {u"Die Suche nach Geräten ist fehlgeschlagen: %1", u"Scanning for gauges failed: %1"};
    case Text::NoGaugesFound:
        return {u"Kein Gerät gefunden.", u"No gauge found."};
    case Text::UnknownModel:
        return {u"Unbekanntes Gerätemodell: %1 (bekannt: %2).", u"Unknown gauge model: %1 (known: %2)."};
    case Text::WriteFailed:
        return {u"Die Datei konnte nicht geschrieben werden: %1 (%2)", u"The file could not be written: %1 (%2)"};
    case Text::Written:
        return {u"Geschrieben: %1", u"Written: %1"};
    case Text::Interrupted:
        return {u"Abgebrochen.", u"Interrupted."};
    case Text::Connecting:
        return {u"Verbinde mit %1 ...", u"Connecting to %1 ..."};
    case Text::Scanning:
        return {u"Suche nach Geräten ...", u"Scanning for gauges ..."};
    case Text::WaitingForReadings:
        return {u"Warte auf Messwerte (Strg-C beendet) ...", u"Waiting for readings (Ctrl-C ends) ..."};
    case Text::ClockSet:
        return {u"Datum/Zeit wurde aktualisert: %1", u"Date/Time set done: %1"};
    case Text::ClockNotTaken:
        return {u"Das Gerät hat die Zeit %1 nicht übernommen, es zeigt %2.",
                u"The gauge did not take the time %1, it shows %2."};
    case Text::DemoBuiltIn:
        return {u"Demo: simulierte Geräte, kein echtes Bluetooth-Gerät wird benutzt.",
                u"Demo mode: simulated gauges, no real Bluetooth device is used."};
    case Text::DemoFolder:
        return {u"Demo: simulierte Geräte aus %1, kein echtes Bluetooth-Gerät wird benutzt.",
                u"Demo mode: simulated gauges of %1, no real Bluetooth device is used."};
    case Text::FewerReadings:
        return {u"Nur %1 von %2 Messwerten empfangen.", u"Only %1 of %2 readings received."};
    case Text::MemoryNotOffered:
        return {u"Das Gerät hat keinen Speicher \"%1\". Es bietet: %2",
                u"The gauge has no memory \"%1\". It offers: %2"};
    case Text::ReadProgress:
        return {u"%1 / %2 Messwerte", u"%1 / %2 readings"};
    case Text::Identifying:
        return {u"Gerät wird erkannt ...", u"Identifying the gauge ..."};
    case Text::ReadingMemory:
        return {u"Speicher %1 wird gelesen ...", u"Reading memory %1 ..."};
    case Text::InfoAddress:
        return {u"Adresse", u"Address"};
    case Text::InfoName:
        return {u"Name", u"Name"};
    case Text::InfoModel:
        return {u"Modell", u"Model"};
    case Text::InfoProfile:
        return {u"Profil", u"Profile"};
    case Text::InfoUnit:
        return {u"Einheit", u"Unit"};
    case Text::InfoBattery:
        return {u"Batterie", u"Battery"};
    case Text::InfoClock:
        return {u"Uhr", u"Clock"};
    }
    return {u"", u""};
}

Pair UsagePair(UsageProblem problem)
{
    switch (problem) {
    case UsageProblem::None:
        return {u"", u""};
    case UsageProblem::NoSubcommand:
        return {u"Kein Befehl angegeben.", u"No command given."};
    case UsageProblem::UnknownSubcommand:
        return {u"Unbekannter Befehl: %1", u"Unknown command: %1"};
    case UsageProblem::UnknownOption:
        return {u"Unbekannte Option: %1", u"Unknown option: %1"};
    case UsageProblem::MissingValue:
        return {u"Der Option %1 fehlt ihr Wert.", u"The option %1 needs a value."};
    case UsageProblem::BadValue:
        return {u"Ungültiger Wert: %1", u"Invalid value: %1"};
    case UsageProblem::MissingArgument:
        return {u"Es fehlt: %1", u"Missing: %1"};
    case UsageProblem::ExtraArgument:
        return {u"Überzähliges Argument: %1", u"Unexpected argument: %1"};
    case UsageProblem::BadAddress:
        return {u"Keine Geräteadresse (12 Hexadezimalziffern): %1", u"Not a gauge address (12 hexadecimal digits): %1"};
    case UsageProblem::OptionNotHere:
        return {u"Die Option %1 gilt nicht für diesen Befehl.", u"The option %1 does not apply to this command."};
    case UsageProblem::NoOutput:
        return {u"Die Ausgabedatei fehlt: -o DATEI.", u"The output file is missing: -o FILE."};
    case UsageProblem::UnknownFormat:
        return {u"Unbekanntes Ausgabeformat: %1 (möglich: .mes, .xlsx, .docx, .csv, .txt).",
                u"Unknown output format: %1 (possible: .mes, .xlsx, .docx, .csv, .txt)."};
    case UsageProblem::NoSuchFolder:
        return {u"Kein Ordner: %1", u"Not a folder: %1"};
    }
    return {u"", u""};
}

const Pair kOverview = {
    u"Aufruf: quenconnect-cli [OPTIONEN] BEFEHL [ARGUMENTE]\n"
    u"\n"
    u"Befehle:\n"
    u"  scan                      gefundene Geräte: Adresse, Name, RSSI, Modell\n"
    u"  info ADRESSE              Kennung, Profil, Batterie, Uhr des Geräts\n"
    u"  memories ADRESSE          die Speicher des Geräts\n"
    u"  read ADRESSE SPEICHER     einen Speicher lesen [-o DATEI]\n"
    u"  live ADRESSE              Messwerte, wie sie gemessen werden [--count N]\n"
    u"  set-time ADRESSE          die Uhr des Geräts stellen\n"
    u"  report DATEI.mes          der Bericht einer Messdatei [--mode A|S|W]\n"
    u"  convert DATEI.mes -o DATEI  in .mes, .xlsx, .docx, .csv oder .txt umwandeln\n"
    u"\n"
    u"Optionen für alle Befehle:\n"
    u"  --lang de|en              Sprache der Meldungen und Berichte\n"
    u"  --settings ORDNER         Einstellungsordner (wie QUENCONNECT_SETTINGS_DIR)\n"
    u"  --data ORDNER             Datenordner (wie QUENCONNECT_DATA_DIR)\n"
    u"  --simulate [ORDNER]       simulierte Geräte (eingebaut oder aus ORDNER)\n"
    u"  --timeout SEKUNDEN        Frist jeder Anfrage an das Gerät\n"
    u"  --json                    Listen und Kennung als JSON\n"
    u"  -h, --help                Hilfe; \"BEFEHL --help\" für einen Befehl\n"
    u"\n"
    u"Rückgabewerte: 0 erledigt, 1 falscher Aufruf, 2 kein Adapter oder Gerät nicht\n"
    u"gefunden, 3 das Gerät hat nicht rechtzeitig geantwortet, 4 eine Datei konnte\n"
    u"nicht gelesen oder geschrieben werden, 130 abgebrochen (Strg-C).\n",
    u"Usage: quenconnect-cli [OPTIONS] COMMAND [ARGUMENTS]\n"
    u"\n"
    u"Commands:\n"
    u"  scan                      gauges found: address, name, RSSI, model\n"
    u"  info ADDRESS              identification, profile, battery, clock\n"
    u"  memories ADDRESS          the gauge's memories\n"
    u"  read ADDRESS MEMORY       read one memory [-o FILE]\n"
    u"  live ADDRESS              readings as they are taken [--count N]\n"
    u"  set-time ADDRESS          set the gauge's clock\n"
    u"  report FILE.mes           the report of a measurement file [--mode A|S|W]\n"
    u"  convert FILE.mes -o FILE  to .mes, .xlsx, .docx, .csv or .txt\n"
    u"\n"
    u"Options of every command:\n"
    u"  --lang de|en              language of messages and reports\n"
    u"  --settings DIR            settings folder (as QUENCONNECT_SETTINGS_DIR)\n"
    u"  --data DIR                data folder (as QUENCONNECT_DATA_DIR)\n"
    u"  --simulate [FOLDER]       simulated gauges (built in, or FOLDER's)\n"
    u"  --timeout SECONDS         deadline of each gauge request\n"
    u"  --json                    listings and identification as JSON\n"
    u"  -h, --help                help; \"COMMAND --help\" for one command\n"
    u"\n"
    u"Exit codes: 0 done, 1 bad usage, 2 no adapter or gauge not found, 3 the\n"
    u"gauge did not answer in time, 4 a file could not be read or written,\n"
    u"130 interrupted (Ctrl-C).\n",
};

const Pair kLimitsHelp = {
    u"  --gauge NUMMER            Einstellungen (Grenzwerte, Projektdaten) dieses Geräts;\n"
    u"                            sonst des Geräts, in dessen mes-Ordner die Datei liegt\n"
    u"  --model CODE              Profil des Modells QV, GV4, GV8, ZP, ZC oder PLB;\n"
    u"                            sonst Datumsspalte, wenn die Messwerte Datum tragen\n"
    u"  --min W --max W --target W  Grenzwerte statt der gespeicherten\n"
    u"  --rule8020, --no-rule8020   80/20-Regel an oder aus\n",
    u"  --gauge NUMBER            settings (limits, project data) of this gauge;\n"
    u"                            else of the gauge whose mes folder holds the file\n"
    u"  --model CODE              profile of the model QV, GV4, GV8, ZP, ZC or PLB;\n"
    u"                            else date column when the readings carry dates\n"
    u"  --min V --max V --target V  limits instead of the stored ones\n"
    u"  --rule8020, --no-rule8020   80/20 rule on or off\n",
};

const Pair kOutputHelp = {
    u"  -o, --output DATEI        Format nach der Endung: .mes (wie das Programm speichert),\n"
    u"                            .xlsx (mit Diagramm), .docx, .csv (eine Zeile je Messwert),\n"
    u"                            .txt (Bericht); ohne -o der Bericht auf die Standardausgabe\n"
    u"  --no-chart                .xlsx ohne Diagramm\n",
    u"  -o, --output FILE         format by extension: .mes (as the program saves),\n"
    u"                            .xlsx (with chart), .docx, .csv (one row per reading),\n"
    u"                            .txt (report); without -o the report on standard output\n"
    u"  --no-chart                .xlsx without the chart\n",
};

QString SubcommandHelp(int language, Subcommand command)
{
    const bool en = language == 1;
    auto t = [en](const char16_t* de, const char16_t* english) { return QString::fromUtf16(en ? english : de); };
    switch (command) {
    case Subcommand::Scan:
        return t(u"Aufruf: quenconnect-cli scan [--seconds S] [--json]\n"
                 u"Sucht S Sekunden (Vorgabe 5) nach Geräten und listet Adresse, Name, RSSI, Modell.\n",
                 u"Usage: quenconnect-cli scan [--seconds S] [--json]\n"
                 u"Scans for S seconds (default 5) and lists address, name, RSSI and model.\n");
    case Subcommand::Info:
        return t(u"Aufruf: quenconnect-cli info ADRESSE [--json]\n"
                 u"Kennung, Profil, Batterie und Uhr des Geräts.\n",
                 u"Usage: quenconnect-cli info ADDRESS [--json]\n"
                 u"The gauge's identification, profile, battery and clock.\n");
    case Subcommand::Memories:
        return t(u"Aufruf: quenconnect-cli memories ADRESSE [--json]\n"
                 u"Die Speicher des Geräts mit der Zahl ihrer Messwerte.\n",
                 u"Usage: quenconnect-cli memories ADDRESS [--json]\n"
                 u"The gauge's memories with the number of their readings.\n");
    case Subcommand::Read:
        return t(u"Aufruf: quenconnect-cli read ADRESSE SPEICHER [-o DATEI] [--no-chart]\n"
                 u"Liest einen Speicher (Nummer oder Dateiname) des Geräts.\n",
                 u"Usage: quenconnect-cli read ADDRESS MEMORY [-o FILE] [--no-chart]\n"
                 u"Reads one memory (number or file name) of the gauge.\n") +
               Pick(language, kOutputHelp) + Pick(language, kLimitsHelp);
    case Subcommand::Live:
        return t(u"Aufruf: quenconnect-cli live ADRESSE [--count N] [--seconds S] [--json]\n"
                 u"Gibt jeden am Gerät gemessenen Wert als eine Zeile aus, bis N Werte da sind,\n"
                 u"S Sekunden vergangen sind oder Strg-C gedrückt wird.\n",
                 u"Usage: quenconnect-cli live ADDRESS [--count N] [--seconds S] [--json]\n"
                 u"Prints each reading taken on the gauge as one line, until N readings have\n"
                 u"come, S seconds have passed or Ctrl-C is pressed.\n");
    case Subcommand::SetTime:
        return t(u"Aufruf: quenconnect-cli set-time ADRESSE\n"
                 u"Stellt die Uhr des Geräts auf die Zeit des Rechners und liest sie zurück.\n",
                 u"Usage: quenconnect-cli set-time ADDRESS\n"
                 u"Sets the gauge's clock to the computer's time and reads it back.\n");
    case Subcommand::Report:
        return t(u"Aufruf: quenconnect-cli report DATEI.mes [--mode A|S|W]\n"
                 u"Der Bericht der Messdatei auf der Standardausgabe: A alles, S Statistik,\n"
                 u"W Messwerte.\n",
                 u"Usage: quenconnect-cli report FILE.mes [--mode A|S|W]\n"
                 u"The report of the measurement file on standard output: A all,\n"
                 u"S statistics, W readings.\n") +
               Pick(language, kLimitsHelp);
    case Subcommand::Convert:
        return t(u"Aufruf: quenconnect-cli convert DATEI.mes -o DATEI [--no-chart]\n"
                 u"Schreibt die Messdatei in ein anderes Format.\n",
                 u"Usage: quenconnect-cli convert FILE.mes -o FILE [--no-chart]\n"
                 u"Writes the measurement file in another format.\n") +
               Pick(language, kOutputHelp) + Pick(language, kLimitsHelp);
    case Subcommand::None:
        break;
    }
    return Pick(language, kOverview);
}

} // namespace

QString CliText(int language, Text text) { return Pick(language, TextPair(text)); }

QString UsageText(int language, UsageProblem problem, const QString& detail)
{
    QString text = Pick(language, UsagePair(problem));
    return text.contains(QStringLiteral("%1")) ? text.arg(detail) : text;
}

QString HelpText(int language, Subcommand command) { return SubcommandHelp(language, command); }

} // namespace qc::cli
