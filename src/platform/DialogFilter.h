#pragma once

#include <QString>

// Turns a filter of the form "desc|pattern|desc|pattern" into Qt's file-dialog form,
// "desc (pattern pattern);;desc (pattern)". A pattern list separated by ";" becomes a
// space-separated one. A description that names its patterns in parentheses already
// ("Module File(*.bas)") loses them, so the patterns are shown once; the descriptions of
// the program's own filters are shown in Persian, the pattern list kept left to right.
QString qtFileDialogFilter(const QString &filter);
