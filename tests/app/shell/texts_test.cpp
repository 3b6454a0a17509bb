#include <gtest/gtest.h>

#include "shell/texts.h"

namespace qc {
namespace {

struct TextCase {
    int Key;
    const char16_t* German;
    const char16_t* English;
};

void ExpectTexts(QString (*lookup)(int, int), std::initializer_list<TextCase> cases)
{
    for (const TextCase& c : cases) {
        EXPECT_EQ(lookup(kGerman, c.Key), QString::fromUtf16(c.German)) << c.Key;
        EXPECT_EQ(lookup(kEnglish, c.Key), QString::fromUtf16(c.English)) << c.Key;
    }
}

TEST(Texts, MenuTextsAtTheirKeys)
{
    ExpectTexts(MenuText, {
                              {0, u"Datei", u"File"},
                              {1, u"Datei öffnen", u"Open Data File"},
                              {5, u"Programmende", u"Exit program"},
                              {11, u"Schnittstelle wählen", u"Select Interface"},
                              {20, u"Datenübertragung", u"Data Transfer"},
                              {31, u"Englisch", u"English"},
                              {42, u"Bedienungsanleitung", u"Manual"},
                              {45, u"Tastaturevents", u"KeyEvents"},
                              {54, u"Wiederverbinden", u"ReConnect"},
                              {55, u"Nicht Verbunden", u"not connected"},
                              // Unfilled keys and keys out of range are empty.
                              {6, u"", u""},
                              {60, u"", u""},
                              {61, u"", u""},
                              {-1, u"", u""},
                          });
}

TEST(Texts, MessageTextsKeepTheirExactSpelling)
{
    ExpectTexts(
        MessageText,
        {
            {0, u"Nr.", u"No."},
            {4, u"Keine Datei ausgewählt!", u"No file selected !"},
            {12, u"NFE-Speicher", u"NFE-Memory"},
            {24, u"Bitte COM-Port auswählern", u"Please select COM-Port"},
            {57, u"Eingabe Sollwert bei 80/20 Regel erforderlich", u"Please enter targe value when using 80/20 rule "},
            {59, u"Nein ", u"No"},
            {60, u"Min Limit  an 80/20 Regel angepasst von ", u"Min limit changed due to 80/20 rule from "},
            {72, u"Gerät außerhalb der Bluetooth Reichweite oder ausgeschaltet",
             u"Device out of bluetooth range or switched off"},
            {76, u"S", u"M"},
            {85, u"aktualisieren", u"update"},
            {86, u"", u""},
            {90, u"", u""},
        });
}

TEST(Texts, MessageKey14IsTheCaptionInBothLanguages)
{
    EXPECT_EQ(MessageText(kGerman, kCaptionTextKey), QStringLiteral("Quen Connect V1.10"));
    EXPECT_EQ(MessageText(kEnglish, kCaptionTextKey), QStringLiteral("Quen Connect V1.10"));
}

TEST(Texts, MessageKeysZeroToEightyFiveAreAllFilled)
{
    for (int key = 0; key <= 85; ++key) {
        EXPECT_FALSE(MessageText(kGerman, key).isEmpty()) << key;
        EXPECT_FALSE(MessageText(kEnglish, key).isEmpty()) << key;
    }
}

TEST(Texts, StatTexts)
{
    ExpectTexts(StatText, {
                              {0, u"", u""},
                              {1, u"Anzahl", u"Count"},
                              {5, u"Std.Abw.", u"Std.Dev"},
                              {7, u" Statistik nicht möglich,", u" Statistics not possible"},
                              {9, u" Messeinheiten ", u" measurement units"},
                              {10, u"Sollwert    ", u"Target value"},
                              {14, u"Regel 80/20 ok:", u"rule 80/20 ok:"},
                              {17, u"Dauer in ms", u"time in ms"},
                              {18, u"", u""},
                          });
}

TEST(Texts, LanguageOutsideZeroAndOneReadsAsTheNearerOne)
{
    EXPECT_EQ(ClampLanguage(2), kEnglish);
    EXPECT_EQ(ClampLanguage(-3), kGerman);
    EXPECT_EQ(MenuText(7, 0), QStringLiteral("File"));
    EXPECT_EQ(MenuText(-1, 0), QStringLiteral("Datei"));
}

TEST(LimitsInfo, BothLanguages)
{
    const QString de = Rule8020InfoText(0);
    EXPECT_TRUE(
        de.startsWith(QStringLiteral("Die 80/20 Regel nach ISO 19840 :\r\n1) Der Mittelwert aller Me\u00DFwerte")));
    EXPECT_TRUE(de.endsWith(QStringLiteral("4) Jeder Wert muss kleiner oder gleich dem Max Limit sein\r\n\r\n"
                                           "Kennzeichnung in Tabelle:  Wert ok = gr\u00FCn, Wert h\u00F6her Max oder "
                                           "unter Min = red, Wert zwischen 80 and 100% = orange\r\n")));
    const QString en = Rule8020InfoText(1);
    EXPECT_EQ(en.count(QStringLiteral("\r\n")), 7);
    EXPECT_TRUE(en.contains(QStringLiteral("\r\n2) Each value has to be minimun 80% of the Target Value, Min Limit = "
                                           "80% of target Limit\r\n")));
}

} // namespace
} // namespace qc
