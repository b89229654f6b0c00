#include "TestCatalogue.h"

#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueWriter.h"

#include <QTest>

CatalogueRecord record(const QString &name, const QString &declaration, const QString &library,
                       const QString &areas, const QString &description, const QString &vba7)
{
    return CatalogueRecord{{name, declaration, library, areas, description, vba7}};
}

void writeCatalogue(const QString &folder, const std::vector<CatalogueRecord> &records, int columns)
{
    const QString error = CatalogueWriter::write(CatalogueStore::databasePath(folder), records, columns);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}
