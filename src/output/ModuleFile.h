#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// Writes a module file whole or not at all: the bytes go to a temporary file beside the
// target, which then takes the target's place. A save that fails half way leaves a file
// that was there before exactly as it was, and never a half-written module. Where the
// folder takes no new file but the existing file may be written, the file is rewritten in
// place, and a write that fails half way puts the old content back.
namespace ModuleFile {

// The Basic run-time numbers of the failures a save meets, with their descriptions.
inline constexpr qint64 pathFileAccessError = 75; // the file cannot be created there
inline constexpr qint64 pathNotFoundError = 76;   // its folder does not exist
inline constexpr qint64 deviceIOError = 57;       // writing or putting it in place failed

struct WriteResult
{
    bool ok = false;
    qint64 errorNumber = 0;   // when not ok: the failure's number
    QString errorDescription; // and its description
};

// Creates the file or replaces the whole of an existing one with the bytes.
WriteResult write(const QString &path, const QByteArray &bytes);

// The same for a file that another writer makes from a file name (a PDF printer): produce
// fills the temporary file it is given and says whether that file came out whole; only
// then does it take the target's place.
WriteResult produce(const QString &path, const std::function<bool(const QString &temporaryFile)> &produce);

} // namespace ModuleFile
