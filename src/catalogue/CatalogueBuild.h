#pragma once

#include <QString>
#include <QStringList>

// Builds API.mdb from the catalogue's source files: the functions' files into table API,
// const-*.tsv and families.tsv into Const and ConstFamily, enums.tsv and params.tsv into
// ConstEnum and ParamEnum, each line checked first. Nothing is written while a line is
// wrong.
namespace CatalogueBuild {

struct Result
{
    QStringList errors; // "file:line: what is wrong", or what the database refused
    QString summary;    // what was written: "N functions, N constants, N parameters ..."
};

Result build(const QString &databaseFile, const QStringList &sourceFiles);

} // namespace CatalogueBuild
