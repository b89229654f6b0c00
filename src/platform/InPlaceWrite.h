#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Rewrites an existing file in place, for where no new file may be made beside it (a
// folder that takes none, the target of a link that is to be kept). A write that fails
// half way (a full disk) writes the old content back, which fitted where it was. False
// when the file could not be opened or the new content not written.
bool rewriteInPlace(const QString &file, const QByteArray &bytes);

// A name for a new file beside file, made to take its place whole: the file's name,
// ".new-" and 32 hexadecimal digits, which a later save tells as its own.
QString newFileBeside(const QString &file);

// Removes the new files that saves of file, killed half way, left beside it: named as
// newFileBeside() names them, regular files, holding what isOwn accepts. Any other file
// there (the user's "name.new-mine", "name.old") stays.
void removeKilledSaves(const QString &file, const std::function<bool(const QString &leftover)> &isOwn);
