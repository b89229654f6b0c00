#include "CatalogueSource.h"

#include <QFile>

namespace CatalogueSource {

QString escapeField(const QString &field)
{
    QString out;
    out.reserve(field.size());
    for (const QChar c : field) {
        switch (c.unicode()) {
        case '\\': out += QLatin1String("\\\\"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default: out += c;
        }
    }
    return out;
}

QString unescapeField(const QString &field, bool *ok)
{
    QString out;
    out.reserve(field.size());
    bool good = true;
    for (qsizetype i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != QLatin1Char('\\')) {
            out += c;
            continue;
        }
        if (++i >= field.size()) {
            good = false;
            break;
        }
        switch (field.at(i).unicode()) {
        case '\\': out += QLatin1Char('\\'); break;
        case 'r': out += QLatin1Char('\r'); break;
        case 'n': out += QLatin1Char('\n'); break;
        case 't': out += QLatin1Char('\t'); break;
        default:
            good = false;
            out += field.at(i);
        }
    }
    if (ok)
        *ok = good;
    return out;
}

QString formatLine(const CatalogueRecord &record)
{
    QStringList parts;
    for (const QString &field : record.fields)
        parts << escapeField(field);
    return parts.join(QLatin1Char('\t'));
}

ParseResult parse(const QString &text, const QString &fileName)
{
    ParseResult result;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines.at(n);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto where = QStringLiteral("%1:%2: ").arg(fileName).arg(n + 1);
        const QStringList parts = line.split(QLatin1Char('\t'));
        // Six fields, or nine with what the metadata says of the function.
        if (parts.size() != CatalogueRecord::fieldCount && parts.size() != CatalogueRecord::vba7FieldCount) {
            result.errors << where + QStringLiteral("%1 fields instead of 6 or 9").arg(parts.size());
            continue;
        }
        CatalogueRecord record;
        bool good = true;
        for (int i = 0; i < parts.size(); ++i) {
            bool ok = true;
            record[i] = unescapeField(parts.at(i), &ok);
            good = good && ok;
        }
        if (!good)
            result.errors << where + QStringLiteral("bad backslash escape");
        result.records.push_back(std::move(record));
    }
    return result;
}

ParseResult parseFiles(const QStringList &files)
{
    ParseResult all;
    for (const QString &name : files) {
        QFile file(name);
        if (!file.open(QIODevice::ReadOnly)) {
            all.errors << name + QStringLiteral(": cannot be read: ") + file.errorString();
            continue;
        }
        ParseResult one = parse(QString::fromUtf8(file.readAll()), name);
        std::move(one.records.begin(), one.records.end(), std::back_inserter(all.records));
        all.errors += one.errors;
    }
    return all;
}

} // namespace CatalogueSource
