#include "PrintJob.h"

#include "ModuleExport.h"

namespace PrintJob {

QString expandTabs(const QString &line)
{
    QString expanded;
    expanded.reserve(line.size());
    for (const QChar c : line) {
        if (c == QLatin1Char('\t'))
            expanded.append(QString(tabCharacters - expanded.size() % tabCharacters, QLatin1Char(' ')));
        else
            expanded.append(c);
    }
    return expanded;
}

QList<Line> lines(const FunctionView &view)
{
    QList<Line> printed;
    for (const QString &line : ModuleExport::lines(view.declaration))
        printed.append({expandTabs(line), declarationFont, false});
    // A printed line break and the end of that line: two empty lines.
    printed.append({QString(), declarationFont, false});
    printed.append({QString(), declarationFont, false});
    for (const QString &line : ModuleExport::lines(view.description))
        printed.append({expandTabs(line), descriptionFont, true});
    return printed;
}

} // namespace PrintJob
