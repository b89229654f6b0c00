#include "PdfText.h"

#include <QProcess>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace PdfText {

namespace {

std::optional<QString> pdftotext(const char *mode, const QString &pdfPath)
{
    if (!available())
        return std::nullopt;
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QLatin1String(mode), QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

bool available()
{
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

QString folded(const QString &text)
{
    QString plain = text.normalized(QString::NormalizationForm_KC);
    plain.removeIf([](QChar c) { return c.unicode() >= 0x202A && c.unicode() <= 0x202E; });
    return plain;
}

std::optional<QString> text(const QString &pdfPath)
{
    const std::optional<QString> out = pdftotext("-layout", pdfPath);
    return out ? std::optional(folded(*out)) : std::nullopt;
}

std::optional<Document> words(const QString &pdfPath)
{
    const std::optional<QString> out = pdftotext("-bbox", pdfPath);
    if (!out)
        return std::nullopt;
    Document document;
    QXmlStreamReader xml(*out);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto number = [&attributes](const char *name) { return attributes.value(QLatin1String(name)).toDouble(); };
        if (xml.name() == QLatin1String("page"))
            document.pageSizes.append(QSizeF(number("width"), number("height")));
        else if (xml.name() == QLatin1String("word"))
            document.words.append({folded(xml.readElementText()), QRectF(QPointF(number("xMin"), number("yMin")),
                                   QPointF(number("xMax"), number("yMax"))), int(document.pageSizes.size()) - 1});
    }
    if (xml.hasError())
        return std::nullopt;
    return document;
}

} // namespace PdfText
