#include "NaiveNameScan.h"

#include "platform/Windows1256.h"

#include <cstring>
#include <string.h>

namespace NaiveNameScan {

bool occurs(const QString &name, QByteArrayView content)
{
    if (name.isNull())
        return false;
    if (name.isEmpty())
        return !content.isEmpty();
    const std::optional<QByteArray> bytes = Windows1256::encodeStrict(name);
    if (!bytes || content.isEmpty())
        return false;
    return memmem(content.data(), static_cast<size_t>(content.size()), bytes->constData(),
                  static_cast<size_t>(bytes->size()))
        != nullptr;
}

QList<qsizetype> scan(const QStringList &names, QByteArrayView content)
{
    QList<qsizetype> found;
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (occurs(names[i], content))
            found.append(i);
    }
    return found;
}

} // namespace NaiveNameScan
