#pragma once

#include <QString>

#include <functional>

// The user's settings store: text values addressed by hive, key path and value name.
// A hive is one INI file; a key path such as "Software\Kel\Vorn" becomes nested groups
// in it and a value name a key inside the innermost group. No operation reports a
// failure: a value that cannot be read gives the caller's default, and a write or delete
// that cannot be carried out leaves the store as it was.
//
// The store never replaces a file that is not its own. Where its path is a symbolic link
// (settings kept in a dotfiles folder), the link's target is written in place, the link
// kept, but only when the target is a regular file that is empty or holds nothing but
// these settings; any other target is never written. A path that is no regular file (a
// pipe, a folder) is neither read nor written: the defaults are used. Without a
// configuration folder the values are kept for the run only. Each of these is told once a
// run through the warning handler.
namespace RegKeys {

// Receives the store's warnings, each distinct text once a run.
using WarningHandler = std::function<void(const QString &text)>;
void setWarningHandler(WarningHandler handler);
// Passes a notice of the settings (not only the store's) to the handler, every time.
void tell(const QString &text);

// While one lives, writes and deletes are kept and then saved together, with one write
// of the file, when the outermost ends. Reads meanwhile see the file as it was.
class Batch
{
public:
    Batch();
    ~Batch();
    Batch(const Batch &) = delete;
    Batch &operator=(const Batch &) = delete;
};

// The root of a key path. The current user's hive is the only one the program uses.
enum class Hive { CurrentUser };

// The file that holds a hive: for the current user configFolder()/Kel/Vorn.ini. Empty
// when no configuration folder is known: the values are then kept for the run only.
QString hiveFile(Hive hive);

// Creates the key path where missing and stores the value as text; the empty text is
// stored as a single blank " ". Outside a Batch the file is on disk, replaced whole (a new
// file renamed over the old one; leftovers of a save that was killed are removed), when
// this returns.
void WriteKeyValue(Hive hive, const QString &keyPath, const QString &valueName, const QString &value);

// The stored value as text, cut at its first NUL; a 32-bit integer as its signed decimal
// text; a value of any other kind (bytes, lists) as the empty text. The default when the
// key or the value is missing, or when the value is too long for the 1024-byte read
// buffer (measured in the Windows-1256 code page, where Basic programs keep such text).
// Never creates anything.
QString ReadKeyValue(Hive hive, const QString &keyPath, const QString &valueName, const QString &defaultValue);

// Deletes the named value only; a subkey of the same name and its values stay. A missing
// key or value leaves the store, and its file, untouched.
void DeleteKeyValue(Hive hive, const QString &keyPath, const QString &valueName);

// The size of the read buffer, in bytes of the code page.
constexpr int readBufferSize = 1024;

// The number of bytes the text takes in the Windows-1256 code page: one a character, as
// in every single-byte code page, where a character it lacks becomes the one byte "?".
qsizetype codePageLength(const QString &text);

} // namespace RegKeys
