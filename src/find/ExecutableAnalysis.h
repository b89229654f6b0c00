#pragma once

#include "PeImage.h"

#include <QList>
#include <QString>

#include <functional>

class NameScanner;

// Reads the file the user picked as raw bytes, takes the quick look at its first bytes,
// and finds which catalogue names occur in it. The file is read in pieces, so its size
// costs time but never memory, and only a regular file is read: a directory, a pipe or a
// device would never come to an end or be no file at all.
namespace ExecutableAnalysis {

enum class Outcome { Scanned, NotExecutable, Failed, Cancelled };

struct Result
{
    Outcome outcome = Outcome::Failed;
    QList<qsizetype> found;   // Scanned: indices of the names that occur, ascending; a blank name never
    std::optional<PeImage::Tables> tables; // Scanned: the import and export tables of a PE image
    qint64 errorNumber = 0;   // Failed: the error's number, as Basic numbers it,
    QString errorDescription; // and its description
};

// Told after each piece read: the bytes read so far and the file's size. Returning
// false stops the analysis (Cancelled).
using Progress = std::function<bool(qint64 done, qint64 total)>;

inline constexpr qsizetype defaultPieceSize = 1024 * 1024;

// The error numbers the analysis reports, with Basic's own descriptions.
inline constexpr qint64 fileNotFound = 53;
inline constexpr qint64 deviceIoError = 57;
inline constexpr qint64 permissionDenied = 70;
inline constexpr qint64 pathFileAccessError = 75;
QString errorDescription(qint64 number);

// Called every few milliseconds while the next piece is slow to come (a network share, a
// failing disk). Returning false stops the analysis at once (Cancelled), whatever the
// read is doing.
using Waiting = std::function<bool()>;

// How many processor cores an analysis may keep busy. Automatic: on a machine of two or
// more, a file of splitFrom bytes or more is scanned by two threads at once, each taking
// the next piece of the file as it comes free; on one core, all in turn. One: all in
// turn, whatever the machine. Two: by two threads at any size, even on one core (they
// then take turns): what a test compares with One.
enum class Threads { Automatic, One, Two };

// Below this size a second thread costs more to wake (and, for a file that is not at
// hand, to start) than it saves: bench/analyse --corpus on a folder of one DLL cut to
// 16 KB ... 4 MB, column two/one.
inline constexpr qint64 splitFrom = 256 * 1024;

// What the kernel holds at hand is read at once; the rest on a thread of its own, which
// the analysis never waits for but in the short turns between calls of waiting. The
// result is the same whatever `threads`.
Result analyse(const QString &path, const NameScanner &scanner, const Progress &progress = {},
               qsizetype pieceSize = defaultPieceSize, const Waiting &waiting = {},
               Threads threads = Threads::Automatic);

// Called on the reading thread before each read, with the offset it starts at (-1 before
// the tables of a PE image are read): tests put a slow disk in with it. Taken by each
// analysis as it starts.
using ReadDelay = std::function<void(qint64 offset)>;
void setReadDelay(ReadDelay delay);

} // namespace ExecutableAnalysis
