#include "DeclarationLayout.h"

namespace DeclarationLayout {

namespace {

const QString lineContinuation = QStringLiteral(" _\r\n\t\t\t");

// QString::replace scans left to right, takes occurrences without overlap and never
// looks into what it has just put in: exactly the rules of the layout.
QString replaced(QString text, const QString &what, const QString &with)
{
    return text.replace(what, with, Qt::CaseSensitive);
}

} // namespace

QString openingContinuation()
{
    return QLatin1Char('(') + lineContinuation;
}

QString separatorContinuation()
{
    return QLatin1Char(',') + lineContinuation;
}

QString continued(const QString &text)
{
    const QString opened = replaced(text, QStringLiteral("("), openingContinuation());
    return replaced(opened, QStringLiteral(", "), separatorContinuation());
}

QString stored(const QString &text)
{
    const QString closed = replaced(text, openingContinuation(), QStringLiteral("("));
    return replaced(closed, separatorContinuation(), QStringLiteral(", "));
}

QString layOut(const QString &text, bool wantContinued)
{
    return wantContinued ? continued(text) : stored(text);
}

} // namespace DeclarationLayout
