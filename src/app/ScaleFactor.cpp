#include "ScaleFactor.h"

#include "platform/Texts.h"

#include <cmath>

namespace ScaleFactor {

QString sanitize()
{
    const QString text = qEnvironmentVariable("QT_SCALE_FACTOR");
    if (text.trimmed().isEmpty())
        return QString();
    bool number = false;
    const double factor = text.trimmed().toDouble(&number);
    if (number && std::isfinite(factor) && factor >= smallest && factor <= largest)
        return QString();
    qunsetenv("QT_SCALE_FACTOR");
    return Texts::scaleFactorIgnored.arg(text).arg(smallest).arg(largest);
}

} // namespace ScaleFactor
