#include "PrintJob.h"

#include "ModuleExport.h"

namespace PrintJob {

QList<Line> lines(const FunctionView &view)
{
    QList<Line> printed;
    for (const QString &line : ModuleExport::lines(view.declaration))
        printed.append({line, declarationFont, false});
    // A printed line break and the end of that line: two empty lines.
    printed.append({QString(), declarationFont, false});
    printed.append({QString(), declarationFont, false});
    for (const QString &line : ModuleExport::lines(view.description))
        printed.append({line, descriptionFont, true});
    return printed;
}

} // namespace PrintJob
