#include "shell/texts.h"

#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <span>

#include "data/cp1252.h"
#include "shell/app_identity.h"
#include "shell/settings_store.h"

namespace qc {
namespace {

struct TextEntry {
    int Key;
    const char16_t* German;
    const char16_t* English;
};

constexpr TextEntry kMenuTexts[] = {
    {0, u"Datei", u"File"},
    {1, u"Datei öffnen", u"Open Data File"},
    {2, u"In Datei speichern", u"Save to File"},
    {3, u"Drucken", u"Print"},
    {4, u"Programm beenden", u"Exit Program"},
    {5, u"Programmende", u"Exit program"},
    {10, u"Schnittstelle", u"Interface"},
    {11, u"Schnittstelle wählen", u"Select Interface"},
    {20, u"Datenübertragung", u"Data Transfer"},
    {21, u"Vom Gerät einlesen", u"Read Data from device"},
    {30, u"Sprache", u"Language"},
    {31, u"Englisch", u"English"},
    {32, u"Deutsch", u"German"},
    {40, u"Hilfe", u"Help"},
    {41, u"Info", u"Info"},
    {42, u"Bedienungsanleitung", u"Manual"},
    {43, u"Speichern", u"Save"},
    {44, u"Löschen", u"Delete"},
    {45, u"Tastaturevents", u"KeyEvents"},
    {50, u"Verbinden", u"Connect"},
    {51, u"Getrennt", u"Disconnected"},
    {52, u"Trennen", u"Disconnect"},
    {53, u"Verbunden", u"Connected"},
    {54, u"Wiederverbinden", u"ReConnect"},
    {55, u"Nicht Verbunden", u"not connected"},
};

// Key 14 is computed (see MessageText).
constexpr TextEntry kMessageTexts[] = {
    {0, u"Nr.", u"No."},
    {1, u"Messwert", u"Value"},
    {2, u"Messeinheit", u"Unit"},
    {3, u"Geräte-Schnittstelle eingeben :", u"Enter COM-Port of device :"},
    {4, u"Keine Datei ausgewählt!", u"No file selected !"},
    {5, u"Bitte gültigen COM-Port wählen !", u"Please select valid COM-Port !"},
    {6, u"FE-Speicher", u"FE-Memory"},
    {7, u"NFE-Speicher", u"NFE-Memory"},
    {8, u"Online", u"Online"},
    {9, u"Daten in Clipboard kopieren", u"Copy data to clipboard"},
    {10, u"Statistik:", u"Statistics:"},
    {11, u"FE-Speicher2", u"FE-Memory2"},
    {12, u"NFE-Speicher", u"NFE-Memory"},
    {13, u"Bitte warten....", u"Please wait...."},
    {15, u"FE-Speicher1", u"FE-Memory1"},
    {16, u"Datum:", u"Date:"},
    {17, u"Fertig", u"Done"},
    {18, u"FE-Speicher leer!", u"FE-Memory empty"},
    {19, u"NFE-Speicher leer!", u"NFE-Memory empty"},
    {20, u"Messwerte", u"Data"},
    {21, u"Befehle", u"Commands"},
    {22, u"Fehler beim Einlesen der Geraeteinformationen", u"Read device information Error"},
    {23, u"Daten kopieren nach", u"Copy data to"},
    {24, u"Bitte COM-Port auswählern", u"Please select COM-Port"},
    {25, u"Eingabe muss numerisch sein!", u"Numeric field required!"},
    {26, u"Werte passen nicht zum Tabellentyp !", u"Data doesn't match table type !"},
    {27, u"Speicher 1 ist leer", u"Memory 1 has no data"},
    {28, u"Speicher 2 ist leer", u"Memory 2 has no data"},
    {29, u"Gerät nicht verfügbar !", u"Device is not available !"},
    {30, u"Speicher einlesen", u"Read Memory"},
    {31, u"Kein Com-Port verfügbar!", u"No Com-Port available!"},
    {32, u"Speicher", u"Memory"},
    {33, u"Speicher leer", u"Memory empty"},
    {34, u"Kein Eintrag ausgewählt", u"No entry selected"},
    {35, u"Minimum größer als Maximum!", u"Minimum higher than maximum!"},
    {36, u"Sollwert muss zwischen Minimum und Maximum liegen!", u"Target value should be within Minimum and Maximum!"},
    {37, u"Achtung Gerätespeicher kann hier nicht gelöscht werden!", u"Warning! Device-Memory will not be deleted!"},
    {38, u"Projektdaten", u"Project data"},
    {39, u"Grenzwerte", u"Limits"},
    {40, u"Zeile löschen", u"Delete row"},
    {41, u"Tabelle löschen", u"Delete Tab"},
    {42, u"BEREIT", u"READY"},
    {43, u"Gerät", u"Device"},
    {44, u"Geräte Software Version", u"Device Softwareversion"},
    {45, u"Sollwert", u"Target value"},
    {46, u"Datum/Uhrzeit", u"Date/Time"},
    {47, u"Speicher leer", u"memory empty"},
    {48, u"Bitte Tabelle löschen", u"Please delete Table"},
    {49, u"Excel inklusive Chart erstellen?", u"Generate Excel Worksheet with chart?"},
    {50, u"Wollen Sie die Tabelle wirklich löschen?", u"Do you really want to delete this table?"},
    {51, u"Wollen Sie die markierte Zeile wirklich löschen?", u"Do you really want to delete this row?"},
    {52, u"Nur positive Werte erlaubt", u"Only positive digits allowed"},
    {53, u"Maximale Werteanzahl überschritten", u"Maximal number of data exceeded"},
    {54, u"Bitte nur eine Zeile auswählen", u"Please choose only one row"},
    {55, u"Stopp", u"Stop"},
    {56, u"Weiter", u"Continue"},
    {57, u"Eingabe Sollwert bei 80/20 Regel erforderlich", u"Please enter targe value when using 80/20 rule "},
    {58, u"Ja", u"Yes"},
    {59, u"Nein ", u"No"},
    {60, u"Min Limit  an 80/20 Regel angepasst von ", u"Min limit changed due to 80/20 rule from "},
    {61, u"nach", u"to"},
    {62, u"Tastatur Events senden", u"Send key events"},
    {63, u"Online Wert wird automatisch als Tastatur Event an andere Anwendung versendet",
     u"Online value will be automatically transfered to another application"},
    {64, u"Funktion aktivieren", u"Activate function"},
    {65, u"Anwendung an die gesendet wird", u"Application to which will be send"},
    {66, u"Werte inklusive", u"Values including"},
    {67, u"Datum", u"Date"},
    {68, u"Zeilenende Zeichen", u"End of line char"},
    {69, u"Keins", u"None"},
    {70, u"Nr", u"No"},
    {71, u"Datum Zeit", u"Date Time"},
    {72, u"Gerät außerhalb der Bluetooth Reichweite oder ausgeschaltet",
     u"Device out of bluetooth range or switched off"},
    {73, u"Batterie", u"Battery"},
    {74, u"Sondentyp", u"Probetype"},
    {75, u"Bitte Bluetooth Einstellungen prüfen, oder Adapter verbinden",
     u"Please check bluetooth settings or connect dongle"},
    {76, u"S", u"M"},
    {77, u"Verbinden mit MAC ", u"Connect to MAC "},
    {78, u"Bitte wiederholen", u"Please try again"},
    {79, u"Bluetooth Gerät zum Verbinden auswählen", u"Select Bluetooth device for connection"},
    {80, u"Datum/Zeit wurde aktualisert", u"Date/Time set done"},
    {81, u"Bitte Gerät einschalten, 3 Sekunden warten und Wiederverbinden drücken",
     u"Please switch on device ,wait 3 seconds and press Reconnect"},
    {82, u"Bitte einen Speicher auswählen", u"Please select a memory"},
    {83, u"Keine Speicher vorhanden", u"No memory available"},
    {84, u"Sondenversion", u"Probe version"},
    {85, u"aktualisieren", u"update"},
};

constexpr TextEntry kStatTexts[] = {
    {1, u"Anzahl", u"Count"},
    {2, u"Maximum", u"Maximum"},
    {3, u"Minimum", u"Minimum"},
    {4, u"Mittelwert", u"Average"},
    {5, u"Std.Abw.", u"Std.Dev"},
    {6, u"Statistik:", u"Statistics:"},
    {7, u" Statistik nicht möglich,", u" Statistics not possible"},
    {8, u" da verschiedene", u" cause of different"},
    {9, u" Messeinheiten ", u" measurement units"},
    {10, u"Sollwert    ", u"Target value"},
    {11, u"abs", u"abs"},
    {12, u"Linie / Balken", u"Line / Bar"},
    {13, u"Daten", u"Data"},
    {14, u"Regel 80/20 ok:", u"rule 80/20 ok:"},
    {15, u"Impulszeit", u"pulse time"},
    {16, u"Werte", u"values"},
    {17, u"Dauer in ms", u"time in ms"},
};

QString Lookup(std::span<const TextEntry> table, int language, int key)
{
    const auto it = std::find_if(table.begin(), table.end(), [key](const TextEntry& e) { return e.Key == key; });
    if (it == table.end())
        return {};
    return QString::fromUtf16(ClampLanguage(language) == kEnglish ? it->English : it->German);
}

} // namespace

int ClampLanguage(int language) { return language >= kEnglish ? kEnglish : kGerman; }

QString MenuText(int language, int key) { return Lookup(kMenuTexts, language, key); }

QString MessageText(int language, int key)
{
    if (key == kCaptionTextKey)
        return MainCaption();
    return Lookup(kMessageTexts, language, key);
}

QString StatText(int language, int key) { return Lookup(kStatTexts, language, key); }

} // namespace qc

namespace qc {
namespace {

constexpr TextEntry kKeyForwardingTexts[] = {
    {kKeysNoDisplay,
     u"Tastatur Events: Es ist keine grafische Oberfläche (X11) vorhanden. Die Messwerte werden nur in die Tabelle "
     u"übernommen.",
     u"Key events: there is no graphical display (X11). Readings are only added to the table."},
    {kKeysStartFailed, u"Tastatur Events: Die Anwendung konnte nicht gestartet werden: ",
     u"Key events: the application could not be started: "},
    {kKeysTargetGone,
     u"Tastatur Events: Die Anwendung läuft nicht mehr. Die Messwerte werden weiter in die Tabelle übernommen.",
     u"Key events: the application is no longer running. Readings are still added to the table."},
    {kKeysNoWindow,
     u"Tastatur Events: Die Anwendung hat kein Fenster für die Eingabe. Die Messwerte werden weiter in die Tabelle "
     u"übernommen.",
     u"Key events: the application has no window to type into. Readings are still added to the table."},
};

} // namespace

QString KeyForwardingText(int language, int id) { return Lookup(kKeyForwardingTexts, language, id); }

} // namespace qc

namespace qc {
namespace {

constexpr TextEntry kNotices[] = {
    {kNoticeUnstorable, u"Diese Zeichen k\u00F6nnen nicht gespeichert werden: ",
     u"These characters cannot be stored: "},
    {kNoticeKeyPathSeparator, u"Der Pfad der Anwendung darf kein \";\" enthalten: ",
     u"The path of the application must not contain \";\": "},
    {kNoticeManualNotOpened, u"Keine Anwendung konnte die Datei %1 \u00F6ffnen. Sie liegt im Ordner %2",
     u"No program could open the file %1. It is in the folder %2"},
    {kNoticeAlreadyRunning, u"Quen Connect l\u00E4uft bereits.", u"Quen Connect is already running."},
    {kNoticeFolderNotCreated, u"Der Ordner kann nicht angelegt werden: ", u"The folder cannot be created: "},
    {kNoticeDocumentNotOpened, u"Kein Programm zum \u00D6ffnen gefunden. Das Dokument ist gespeichert in ",
     u"No program was found to open it. The document is saved in "},
    {kNoticePrintFailed, u"Drucken nicht m\u00F6glich: ", u"Printing failed: "},
};

} // namespace

QString NoticeText(int language, int id) { return Lookup(kNotices, language, id); }

QString UnstorableCharactersText(int language, const QString& characters)
{
    if (characters.isEmpty())
        return {};
    QStringList shown;
    for (qsizetype i = 0; i < characters.size(); ++i) {
        const bool pair = characters[i].isHighSurrogate() && i + 1 < characters.size();
        shown << characters.mid(i, pair ? 2 : 1);
        i += pair ? 1 : 0;
    }
    return NoticeText(language, kNoticeUnstorable) + shown.join(u' ');
}

QString KeyPathProblem(const QString& path, int language)
{
    if (path.contains(u';'))
        return NoticeText(language, kNoticeKeyPathSeparator) + path;
    return UnstorableCharactersText(language, Cp1252Unstorable(path));
}

} // namespace qc

namespace qc {
namespace {

struct ModePrefix {
    QStringView Mode;
    const char16_t* German;
    const char16_t* English;
};

// The key-forwarding file has no prefix of its own in the original message
// set; it gets one in the same wording, so its failures never borrow the
// prefix of an unrelated earlier failure.
constexpr ModePrefix kPrefixes[] = {
    {settings_mode::LimitsLoad, u"Probleme beim Lesen Datei Limit.ini: ", u"problems reading file  Limit.ini: "},
    {settings_mode::LimitsSave, u"Probleme beim Schreiben Datei Limit.ini: ", u"problems writing file  Limit.ini: "},
    {settings_mode::KeysLoad, u"Probleme beim Lesen Datei Tastatur.ini: ", u"problems reading file  Tastatur.ini: "},
    {settings_mode::KeysSave, u"Probleme beim Schreiben Datei Tastatur.ini: ",
     u"problems writing file  Tastatur.ini: "},
    {settings_mode::LanguageLoad, u"Probleme beim Lesen Datei & Language.ini: ",
     u"problems reading file Language.ini:"},
    {settings_mode::LanguageSave, u"Probleme beim Schreiben Datei Language.ini: ",
     u"problems writing file Language.ini: "},
    {settings_mode::ProjectLabelsLoad, u"Probleme beim Lesen Datei Projekt.ini: ",
     u"problems reading file  Datei Projekt.ini: "},
    {settings_mode::ProjectDataLoad, u"Probleme beim Lesen Datei Projektdaten.ini: ",
     u"problems reading file  Projektdaten.ini: "},
    {settings_mode::ProjectDataSave, u"Probleme beim Schreiben Datei Projektdaten.ini: ",
     u"problems writing file  Datei Projektdaten.ini: "},
};

} // namespace

QString SettingsFailurePrefixText(QStringView mode, int language)
{
    for (const ModePrefix& p : kPrefixes) {
        if (p.Mode == mode)
            return QString::fromUtf16(ClampLanguage(language) == kEnglish ? p.English : p.German);
    }
    return {};
}

QString Rule8020InfoText(int language)
{
    static const char* const kGerman[] = {
        "Die 80/20 Regel nach ISO 19840 :",
        "1) Der Mittelwert aller Me\u00DFwerte mu\u00DF gleich oder gr\u00F6\u00DFer dem eingegeben Sollwert(NDFT) "
        "sein.",
        "2) Jeder gemessene Wert muss mindestens 80% des Sollwerts sein. Min Limit = 80% vom Sollwert",
        "3) Maximal 20 % aller Werte d\u00FCrfen in einem Bereich zwischen MinLimit und Sollwert liegen",
        "4) Jeder Wert muss kleiner oder gleich dem Max Limit sein",
        "",
        "Kennzeichnung in Tabelle:  Wert ok = gr\u00FCn, Wert h\u00F6her Max oder unter Min = red, Wert zwischen 80 "
        "and "
        "100% = orange",
    };
    static const char* const kEnglish[] = {
        "The 80/20 rule according to ISO 19840 :",
        "1) The arithmetic mean value has to be equal or higher than the target Value(NDFT Nominal Dry Film "
        "Thickness)",
        "2) Each value has to be minimun 80% of the Target Value, Min Limit = 80% of target Limit",
        "3) Maximum 20 % of all values are allowed to be between Min Limit and Target Value",
        "4) Each value has to be less or equal than Max Limit",
        "",
        "Appearance in table: value ok = green, value higher max or lower Min = red, value between 80 and 100% = "
        "orange",
    };
    QString text;
    for (const char* line : language == 1 ? kEnglish : kGerman)
        text += QString::fromUtf8(line) + QStringLiteral("\r\n");
    return text;
}

QString ManualNotFoundText(int language, const QString& path)
{
    if (ClampLanguage(language) == kEnglish)
        return QStringLiteral("File ") + path + QStringLiteral(" not found ");
    return QStringLiteral("Datei ") + path + QStringLiteral(" wurde nicht gefunden");
}

QString ManualNotOpenedText(int language, const QString& path)
{
    return NoticeText(language, kNoticeManualNotOpened).arg(path, QFileInfo(path).absolutePath());
}

} // namespace qc
