#include "ModuleExport.h"

#include "platform/Windows1256.h"

#include <QRegularExpression>

namespace ModuleExport {

QString moduleName(const QString &functionName)
{
    // A line break would cut the module's header line in two: it goes the way of a space.
    QString name = functionName;
    for (QChar &c : name) {
        if (c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            c = QLatin1Char('_');
    }
    return name;
}

QStringList lines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    return text.split(lineBreak);
}

QString publicDeclaration(const QString &declaration)
{
    // A Basic name is made of letters, digits and "_"; "Private" touching one of them is
    // part of a longer name.
    static const QRegularExpression privateWord(QStringLiteral("(?<![\\w])Private(?![\\w])"),
                                                QRegularExpression::UseUnicodePropertiesOption);
    return QString(declaration).replace(privateWord, QStringLiteral("Public"));
}

QString commentBlock(const QString &description)
{
    return commentStart + lines(description).join(lineEnd + commentStart);
}

QString moduleText(const FunctionView &view, bool withDescription)
{
    // Inner line breaks of the declaration (a formatted one has them) are written as the
    // CR LF they stand for; a lone CR or LF would break the module in a Basic IDE.
    QString text = headerStart + moduleName(view.name) + QLatin1Char('"') + lineEnd
        + createdBy + lineEnd
        + lines(publicDeclaration(view.declaration)).join(lineEnd) + lineEnd;
    if (withDescription)
        text += lineEnd + lineEnd + lineEnd + commentBlock(view.description) + lineEnd;
    return text;
}

QByteArray moduleBytes(const FunctionView &view, bool withDescription)
{
    return Windows1256::encode(moduleText(view, withDescription));
}

} // namespace ModuleExport
