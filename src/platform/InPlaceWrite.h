#pragma once

#include <QByteArray>
#include <QString>

// Rewrites an existing file in place, for where no new file may be made beside it (a
// folder that takes none, the target of a link that is to be kept). A write that fails
// half way (a full disk) writes the old content back, which fitted where it was. False
// when the file could not be opened or the new content not written.
bool rewriteInPlace(const QString &file, const QByteArray &bytes);
