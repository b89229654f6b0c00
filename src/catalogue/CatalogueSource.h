#pragma once

#include "CatalogueRecord.h"

#include <QString>
#include <QStringList>

#include <vector>

// The catalogue's source text: UTF-8, one record a line, the six fields in table order
// (FunctionName, Declaration, Library, WorkAreas, Description, Vba7Declaration) separated
// by TAB. Inside
// a field a backslash escapes: \r carriage return, \n line feed, \t TAB, \\ backslash.
// Empty lines and lines starting with "#" are skipped.
namespace CatalogueSource {

struct ParseResult
{
    std::vector<CatalogueRecord> records;
    QStringList errors; // "file:line: what is wrong"; empty when all lines were good
};

QString escapeField(const QString &field);
QString unescapeField(const QString &field, bool *ok = nullptr);

// One source line for a record, without line end.
QString formatLine(const CatalogueRecord &record);

// Parses source text; fileName only labels the errors.
ParseResult parse(const QString &text, const QString &fileName = QString());
// Reads and parses the files in the given order, records appended in that order.
ParseResult parseFiles(const QStringList &files);

} // namespace CatalogueSource
