#include "SettingText.h"

#include <QLocale>

namespace SettingText {

namespace {

bool isNumberText(const QString &text, bool allowFraction)
{
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+')))
        ++i;
    bool digits = false;
    bool point = false;
    for (; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            digits = true;
        else if (ch == QLatin1Char('.') && allowFraction && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

} // namespace

std::optional<int> toWholeNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!isNumberText(trimmed, false))
        return std::nullopt;
    bool ok = false;
    const int value = trimmed.toInt(&ok);
    if (!ok)
        return std::nullopt;
    return value;
}

std::optional<bool> toBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (!isNumberText(trimmed, true))
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        return std::nullopt;
    return value != 0.0;
}

QString fromBoolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

std::optional<double> toFontSize(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (!isNumberText(trimmed, true))
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !(value > 0.0) || value > 2160.0)
        return std::nullopt;
    return value;
}

} // namespace SettingText
