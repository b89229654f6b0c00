#include "DeclarationLayout.h"

namespace DeclarationLayout {

namespace {

const QString lineContinuation = QStringLiteral(" _\r\n    ");

// QString::replace scans left to right, takes occurrences without overlap and never
// looks into what it has just put in: exactly the rules of the layout.
QString replaced(QString text, const QString &what, const QString &with)
{
    return text.replace(what, with, Qt::CaseSensitive);
}

// The next word from at on, after blanks; at moves past it.
QStringView nextWord(QStringView line, qsizetype &at)
{
    while (at < line.size() && (line.at(at) == QLatin1Char(' ') || line.at(at) == QLatin1Char('\t')))
        ++at;
    const qsizetype begin = at;
    while (at < line.size() && line.at(at) != QLatin1Char(' ') && line.at(at) != QLatin1Char('\t'))
        ++at;
    return line.mid(begin, at - begin);
}

// A Declare statement: Declare, after Public, Private or Friend where one stands, then a
// blank; Basic's keywords in any letter case. By hand, not by a regular expression: one
// matches nothing in a text with a lone surrogate, which a damaged catalogue field may hold.
bool isDeclareStatement(QStringView line)
{
    qsizetype at = 0;
    QStringView word = nextWord(line, at);
    for (const char *scope : {"Public", "Private", "Friend"}) {
        if (word.compare(QLatin1String(scope), Qt::CaseInsensitive) == 0) {
            word = nextWord(line, at);
            break;
        }
    }
    return word.compare(QLatin1String("Declare"), Qt::CaseInsensitive) == 0 && at < line.size();
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
    QString laidOut;
    laidOut.reserve(text.size() + text.size() / 4);
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != QLatin1Char('\r') && text.at(end) != QLatin1Char('\n'))
            ++end;
        const QString line = text.mid(start, end - start);
        if (isDeclareStatement(line))
            laidOut += replaced(replaced(line, QStringLiteral("("), openingContinuation()), QStringLiteral(", "), separatorContinuation());
        else
            laidOut += line;
        if (end < text.size())
            laidOut += text.at(end);
        start = end + 1;
    }
    return laidOut;
}

QString stored(const QString &text)
{
    const QString closed = replaced(text, openingContinuation(), QStringLiteral("("));
    return replaced(closed, separatorContinuation(), QStringLiteral(", "));
}

qsizetype declareLine(const QString &text)
{
    qsizetype line = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text.at(i) != QLatin1Char('\r') && text.at(i) != QLatin1Char('\n'))
            continue;
        if (isDeclareStatement(QStringView(text).mid(start, i - start)))
            return line;
        if (i + 1 < text.size() && text.at(i) == QLatin1Char('\r') && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
        ++line;
    }
    return -1;
}

QString layOut(const QString &text, bool wantContinued)
{
    return wantContinued ? continued(text) : stored(text);
}

} // namespace DeclarationLayout
