#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

// "vorn --module" and "vorn --declare": a module of several functions and
// constants, or one declaration, for scripts and editors, with no display. The module's
// bytes are those the pick list's window writes.
namespace ModuleCommand {

// Exit statuses: done; the command line, a name, the catalogue or the file failed (then
// nothing is written).
enum Status { Done = 0, Failed = 2 };

// Whether the arguments (the program's path first) ask for one of these commands, by
// --module, --const, --family or --declare anywhere among them.
bool wanted(const QStringList &arguments);

// The lines that "vorn --help" gives these commands.
QString help();

// Carries the command out with the catalogue of the program folder: the module or the
// declaration to `out` (or to the file -o names), every complaint, in Persian, to `err`.
int run(const QStringList &arguments, const QString &programFolder, std::FILE *out, std::FILE *err);

} // namespace ModuleCommand
