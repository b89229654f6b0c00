#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// Vorn without its window, for scripts and editors: options that start with "--". Every
// option is a row of one table (CommandLine.cpp), which --help lists.
namespace CommandLine {

// Whether the arguments (the program's path first) ask for a run without a window: the
// first argument starts with "--". "-d" and no arguments open the windows as before.
bool wanted(const QStringList &arguments);

// Exit statuses: done; done, but nothing found; the command line or the catalogue failed.
enum Status { Done = 0, NothingFound = 1, Failed = 2 };

// Reads the options (all of them, before any is carried out), then carries each out in
// the order given, with the catalogue of the program folder. Writes what it makes to
// `out` and every complaint, in Persian, to `err`; returns the first status that is not
// Done, or Done.
int run(const QStringList &arguments, const QString &programFolder, QTextStream &out, QTextStream &err);

} // namespace CommandLine
