#include "gif_writer.h"

#include <QVector>

namespace qc::artwork {
namespace {

constexpr int kMinCodeSize = 8; // 256 palette entries
constexpr int kClearCode = 1 << kMinCodeSize;
constexpr int kEndCode = kClearCode + 1;
constexpr int kCodeBits = kMinCodeSize + 1;
// Literal codes between clear codes; the decoder's table stays below 512
// entries, so every code fits in 9 bits and no compression state is needed.
constexpr int kCodesPerClear = 250;
constexpr int kMaxSubBlock = 255;

class BitWriter {
public:
    void Put(int code)
    {
        m_buffer |= static_cast<quint32>(code) << m_bits;
        m_bits += kCodeBits;
        while (m_bits >= 8) {
            m_bytes.append(static_cast<char>(m_buffer & 0xFF));
            m_buffer >>= 8;
            m_bits -= 8;
        }
    }
    QByteArray Finish()
    {
        if (m_bits > 0)
            m_bytes.append(static_cast<char>(m_buffer & 0xFF));
        return m_bytes;
    }

private:
    QByteArray m_bytes;
    quint32 m_buffer = 0;
    int m_bits = 0;
};

void PutWord(QByteArray& out, int value)
{
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

} // namespace

QByteArray EncodeGif(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QVector<QRgb> palette = image.colorTable();
    palette.resize(1 << kMinCodeSize);

    QByteArray out("GIF87a");
    PutWord(out, image.width());
    PutWord(out, image.height());
    out.append(static_cast<char>(0xF7)); // global colour table of 256 entries
    out.append('\0');                    // background colour index
    out.append('\0');                    // pixel aspect ratio
    for (QRgb c : palette) {
        out.append(static_cast<char>(qRed(c)));
        out.append(static_cast<char>(qGreen(c)));
        out.append(static_cast<char>(qBlue(c)));
    }

    out.append(',');
    PutWord(out, 0);
    PutWord(out, 0);
    PutWord(out, image.width());
    PutWord(out, image.height());
    out.append('\0'); // no local table, not interlaced
    out.append(static_cast<char>(kMinCodeSize));

    BitWriter bits;
    int sinceClear = kCodesPerClear;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == kCodesPerClear) {
                bits.Put(kClearCode);
                sinceClear = 0;
            }
            bits.Put(row[x]);
            ++sinceClear;
        }
    }
    bits.Put(kEndCode);
    const QByteArray data = bits.Finish();
    for (qsizetype i = 0; i < data.size(); i += kMaxSubBlock) {
        const qsizetype n = std::min<qsizetype>(kMaxSubBlock, data.size() - i);
        out.append(static_cast<char>(n));
        out.append(data.mid(i, n));
    }
    out.append('\0'); // block terminator
    out.append(';');  // trailer
    return out;
}

} // namespace qc::artwork
