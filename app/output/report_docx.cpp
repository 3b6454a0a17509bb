#include "output/report_docx.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <array>
#include <zip.h>

#include "data/safe_file_name.h"

namespace qc {

namespace {

constexpr char kContentTypes[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">)"
    R"(<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>)"
    R"(<Default Extension="xml" ContentType="application/xml"/>)"
    R"(<Override PartName="/word/document.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml"/>)"
    R"(<Override PartName="/word/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.wordprocessingml.styles+xml"/>)"
    R"(</Types>)";

constexpr char kPackageRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="word/document.xml"/>)"
    R"(</Relationships>)";

constexpr char kDocumentRels[] =
    R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)"
    "\n"
    R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>)"
    R"(</Relationships>)";

constexpr char kWordNamespace[] = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// A4 portrait, 2 cm margins, in twentieths of a point.
constexpr char kSection[] = R"(<w:sectPr><w:pgSz w:w="11906" w:h="16838"/>)"
                            R"(<w:pgMar w:top="1134" w:right="1134" w:bottom="1134" w:left="1134")"
                            R"( w:header="709" w:footer="709" w:gutter="0"/></w:sectPr>)";

QByteArray RunProperties()
{
    const QByteArray font = docx::kFontName.toUtf8();
    const QByteArray size = QByteArray::number(docx::kHalfPoints);
    return "<w:rPr><w:rFonts w:ascii=\"" + font + "\" w:hAnsi=\"" + font + "\" w:cs=\"" + font + "\" w:eastAsia=\"" +
           font + "\"/><w:b w:val=\"0\"/><w:sz w:val=\"" + size + "\"/><w:szCs w:val=\"" + size + "\"/></w:rPr>";
}

// Lines follow each other as in the text: no space before or after.
QByteArray ParagraphProperties() { return "<w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/>" + RunProperties() + "</w:pPr>"; }

QByteArray StylesXml()
{
    return QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") + "\n<w:styles xmlns:w=\"" +
           kWordNamespace + "\"><w:docDefaults><w:rPrDefault>" + RunProperties() +
           "</w:rPrDefault><w:pPrDefault><w:pPr><w:spacing w:before=\"0\" w:after=\"0\"/></w:pPr></w:pPrDefault>"
           "</w:docDefaults></w:styles>";
}

bool XmlAllowed(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
           (c >= 0x10000 && c <= 0x10FFFF);
}

QString XmlText(const QString& line)
{
    QString out;
    out.reserve(line.size());
    for (char32_t c : line.toUcs4()) {
        if (!XmlAllowed(c) || c > 0x10FFFF)
            continue;
        switch (c) {
        case U'&': out += QStringLiteral("&amp;"); break;
        case U'<': out += QStringLiteral("&lt;"); break;
        case U'>': out += QStringLiteral("&gt;"); break;
        default: {
            const char32_t one[1] = {c};
            out += QString::fromUcs4(one, 1);
        }
        }
    }
    return out;
}

QByteArray RunXml(const QString& text)
{
    // Tabs become tab elements; everything else is kept with its blanks.
    QByteArray xml = "<w:r>" + RunProperties();
    const QStringList pieces = text.split(u'\t');
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (i > 0)
            xml += "<w:tab/>";
        if (!pieces[i].isEmpty())
            xml += "<w:t xml:space=\"preserve\">" + XmlText(pieces[i]).toUtf8() + "</w:t>";
    }
    return xml + "</w:r>";
}

QStringList ReportLines(const QString& reportText)
{
    QString text = reportText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    return lines;
}

QString ZipError(zip_error_t* error) { return QString::fromLocal8Bit(zip_error_strerror(error)); }

QString ArchiveError(zip_t* archive) { return QString::fromLocal8Bit(zip_strerror(archive)); }

} // namespace

QByteArray ReportDocumentXml(const QString& reportText)
{
    QByteArray xml = QByteArray(R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>)") + "\n<w:document xmlns:w=\"" +
                     kWordNamespace + "\"><w:body>";
    const QByteArray paragraphStart = "<w:p>" + ParagraphProperties();
    for (const QString& line : ReportLines(reportText)) {
        xml += paragraphStart;
        if (!line.isEmpty())
            xml += RunXml(line);
        xml += "</w:p>";
    }
    return xml + kSection + "</w:body></w:document>";
}

std::optional<QString> WriteReportDocx(const QString& path, const QString& reportText)
{
    if (QFileInfo(path).isDir())
        return QStringLiteral("is a folder: ") + path;
    const std::array<std::pair<const char*, QByteArray>, 5> parts{{
        {"[Content_Types].xml", QByteArray(kContentTypes)},
        {"_rels/.rels", QByteArray(kPackageRels)},
        {"word/_rels/document.xml.rels", QByteArray(kDocumentRels)},
        {"word/styles.xml", StylesXml()},
        {"word/document.xml", ReportDocumentXml(reportText)},
    }};

    int code = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const QString text = ZipError(&error);
        zip_error_fini(&error);
        return text;
    }
    for (const auto& [name, bytes] : parts) {
        // The buffers outlive the archive's close, which reads them.
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), static_cast<zip_uint64_t>(bytes.size()), 0);
        if (!source || zip_file_add(archive, name, source, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8) < 0) {
            const QString text = ArchiveError(archive);
            if (source)
                zip_source_free(source);
            zip_discard(archive);
            return text;
        }
    }
    if (zip_close(archive) < 0) {
        const QString text = ArchiveError(archive);
        zip_discard(archive);
        return text;
    }
    return std::nullopt;
}

QString ExportFolder(const QString& dataDir, const QString& gaugeNumber)
{
    const QString folder = QDir(dataDir).filePath(docx::kExportFolderName);
    return gaugeNumber.isEmpty() ? folder : QDir(folder).filePath(SafeGaugeNumber(gaugeNumber));
}

QString NewReportDocxPath(const QString& folder, const QDateTime& now)
{
    const QString stem = QDir(folder).filePath(docx::kFileStem + now.toString(QStringLiteral("yyyyMMdd_HHmmss")));
    QString path = stem + docx::kExtension;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + u'_' + QString::number(n) + docx::kExtension;
    return path;
}

} // namespace qc
