#include "BasicLiteral.h"

namespace BasicLiteral {

QString format(qint32 value, bool hexadecimal)
{
    if (hexadecimal)
        return QStringLiteral("&H") + QString::number(static_cast<quint32>(value), 16).toUpper()
            + QLatin1Char('&');
    return QString::number(value);
}

std::optional<qint32> parse(const QString &text)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    int base = 10;
    bool negative = false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive) || t.startsWith(QLatin1String("&O"), Qt::CaseInsensitive)) {
        base = t.at(1).toUpper() == QLatin1Char('H') ? 16 : 8;
        t = t.mid(2);
        if (t.endsWith(QLatin1Char('&')))
            t.chop(1);
    } else if (t.startsWith(QLatin1Char('-'))) {
        negative = true;
        t = t.mid(1);
    }
    if (t.isEmpty() || t.size() > 11)
        return std::nullopt;
    for (const QChar c : t) {
        const int digit = c.isDigit() ? c.digitValue()
            : (base == 16 && QStringLiteral("abcdef").contains(c.toLower()) ? c.toLower().unicode() - 'a' + 10 : -1);
        if (c.unicode() > 0x7f || digit < 0 || digit >= base)
            return std::nullopt;
    }
    bool ok = false;
    const qulonglong magnitude = t.toULongLong(&ok, base);
    if (!ok || magnitude > 0xFFFFFFFFULL || (negative && magnitude > 0x80000000ULL))
        return std::nullopt;
    const qint64 value = negative ? -static_cast<qint64>(magnitude) : static_cast<qint64>(magnitude);
    return static_cast<qint32>(static_cast<quint32>(value));
}

std::optional<qint32> lineValue(const QString &line)
{
    const qsizetype equals = line.lastIndexOf(QLatin1Char('='));
    if (equals < 0)
        return std::nullopt;
    const QString literal = line.mid(equals + 1).trimmed();
    const std::optional<qint32> value = parse(literal);
    if (!value)
        return std::nullopt;
    if (!literal.startsWith(QLatin1Char('&'))) {
        // Decimal: 2147483648 and above overflow a Long.
        if (literal.startsWith(QLatin1Char('-')) != (*value < 0))
            return std::nullopt;
        return value;
    }
    if (literal.endsWith(QLatin1Char('&')) || static_cast<quint32>(*value) > 0xFFFFU)
        return value;
    return static_cast<qint32>(static_cast<qint16>(static_cast<quint16>(*value)));
}

} // namespace BasicLiteral
