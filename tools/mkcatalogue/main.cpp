// Builds the catalogue database API.mdb from the catalogue's source text.
// Usage: mkcatalogue OUTPUT.mdb SOURCE.tsv...
// The constants' files (const-*.tsv, families.tsv) go into tables Const and ConstFamily,
// every other file into table API.
#include "catalogue/CatalogueSource.h"
#include "catalogue/CatalogueWriter.h"
#include "catalogue/ConstantTable.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: mkcatalogue OUTPUT.mdb SOURCE.tsv...\n");
        return 2;
    }
    QStringList functionFiles;
    QStringList constantFiles;
    for (const QString &file : args.mid(2))
        (ConstantSource::isConstantFile(file) ? constantFiles : functionFiles) << file;
    const CatalogueSource::ParseResult source = CatalogueSource::parseFiles(functionFiles);
    const ConstantSource::ParseResult constants = ConstantSource::parseFiles(constantFiles);
    for (const QString &error : source.errors + constants.errors)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    if (!source.errors.isEmpty() || !constants.errors.isEmpty())
        return 1;
    QString error = CatalogueWriter::write(args.at(1), source.records);
    if (error.isEmpty() && !constantFiles.isEmpty())
        error = ConstantStore::write(args.at(1), constants.table);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %zu functions, %zu constants\n", qPrintable(args.at(1)), source.records.size(),
                constants.table.constants.size());
    return 0;
}
