#include <gtest/gtest.h>

#include "data/cp1252.h"

namespace qc {
namespace {

struct ByteCase {
    unsigned char Byte;
    char16_t Unicode;
};

// The 0x80..0x9F block, where the code page differs from Latin-1, plus
// samples around it.
const ByteCase kBytes[] = {
    {0x00, 0x0000}, {0x41, u'A'},   {0x7F, 0x007F}, {0x80, 0x20AC}, {0x81, 0x0081}, {0x82, 0x201A},
    {0x83, 0x0192}, {0x84, 0x201E}, {0x85, 0x2026}, {0x86, 0x2020}, {0x87, 0x2021}, {0x88, 0x02C6},
    {0x89, 0x2030}, {0x8A, 0x0160}, {0x8B, 0x2039}, {0x8C, 0x0152}, {0x8D, 0x008D}, {0x8E, 0x017D},
    {0x8F, 0x008F}, {0x90, 0x0090}, {0x91, 0x2018}, {0x92, 0x2019}, {0x93, 0x201C}, {0x94, 0x201D},
    {0x95, 0x2022}, {0x96, 0x2013}, {0x97, 0x2014}, {0x98, 0x02DC}, {0x99, 0x2122}, {0x9A, 0x0161},
    {0x9B, 0x203A}, {0x9C, 0x0153}, {0x9D, 0x009D}, {0x9E, 0x017E}, {0x9F, 0x0178}, {0xA0, 0x00A0},
    {0xB5, 0x00B5}, {0xC4, 0x00C4}, {0xDF, 0x00DF}, {0xFC, 0x00FC}, {0xFF, 0x00FF},
};

TEST(Cp1252, DecodesEachByte)
{
    for (const ByteCase& c : kBytes) {
        const char byte = static_cast<char>(c.Byte);
        const QString text = DecodeCp1252(QByteArrayView(&byte, 1));
        ASSERT_EQ(text.size(), 1) << int(c.Byte);
        EXPECT_EQ(text.at(0).unicode(), c.Unicode) << std::hex << int(c.Byte);
    }
}

TEST(Cp1252, EncodesEachCharacterBack)
{
    for (const ByteCase& c : kBytes) {
        const QByteArray bytes = EncodeCp1252(QString(QChar(c.Unicode)));
        ASSERT_EQ(bytes.size(), 1);
        EXPECT_EQ(static_cast<unsigned char>(bytes.at(0)), c.Byte) << std::hex << int(c.Unicode);
    }
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = DecodeCp1252(all);
    EXPECT_EQ(text.size(), 256);
    EXPECT_EQ(EncodeCp1252(text), all);
}

TEST(Cp1252, UnmappableCharactersBecomeQuestionMarks)
{
    const struct {
        QString Text;
        QByteArray Bytes;
    } cases[] = {
        {QStringLiteral("12,5 µm"), QByteArray("12,5 \xB5m")},
        {QStringLiteral("Größe €"), QByteArray("Gr\xF6\xDF" "e \x80")},
        {QStringLiteral("\u4E2D"), QByteArray("?")},
        {QStringLiteral("a\U0001F600b"), QByteArray("a?b")}, // one '?' for a surrogate pair
        {QStringLiteral("\u0100"), QByteArray("?")},
        {QString(), QByteArray()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(EncodeCp1252(c.Text), c.Bytes) << c.Text.toStdString();
}

} // namespace
} // namespace qc
