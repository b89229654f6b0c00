#pragma once

#include <QString>

// Turns a filter of the form "desc|pattern|desc|pattern" into Qt's file-dialog form,
// "desc (pattern pattern);;desc (pattern)". A pattern list separated by ";" becomes a
// space-separated one; a description that already names its patterns in parentheses
// keeps them and gets the real ones appended only where they differ.
QString qtFileDialogFilter(const QString &filter);
