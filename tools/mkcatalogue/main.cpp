// Builds the catalogue database API.mdb from the catalogue's source text.
// Usage: mkcatalogue OUTPUT.mdb SOURCE.tsv...
// The constants' files (const-*.tsv, families.tsv) go into tables Const and ConstFamily,
// enums.tsv and params.tsv (which parameter takes which constants) into ConstEnum and
// ParamEnum, every other file into table API.
#include "catalogue/CatalogueBuild.h"

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
    const CatalogueBuild::Result result = CatalogueBuild::build(args.at(1), args.mid(2));
    for (const QString &error : result.errors)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    if (!result.errors.isEmpty())
        return 1;
    std::printf("%s: %s\n", qPrintable(args.at(1)), qPrintable(result.summary));
    return 0;
}
