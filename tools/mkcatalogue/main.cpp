// Builds the catalogue database API.mdb from the catalogue's source text.
// Usage: mkcatalogue OUTPUT.mdb SOURCE.tsv...
#include "catalogue/CatalogueSource.h"
#include "catalogue/CatalogueWriter.h"

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
    const CatalogueSource::ParseResult source = CatalogueSource::parseFiles(args.mid(2));
    for (const QString &error : source.errors)
        std::fprintf(stderr, "%s\n", qPrintable(error));
    if (!source.errors.isEmpty())
        return 1;
    const QString error = CatalogueWriter::write(args.at(1), source.records);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%s: %zu functions\n", qPrintable(args.at(1)), source.records.size());
    return 0;
}
