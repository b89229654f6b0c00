#include "TestCatalogue.h"

#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueWriter.h"

#include <QTest>

CatalogueRecord record(const QString &name, const QString &declaration, const QString &library,
                       const QString &areas, const QString &description)
{
    CatalogueRecord r;
    r[CatalogueRecord::FunctionName] = name;
    r[CatalogueRecord::Declaration] = declaration;
    r[CatalogueRecord::Library] = library;
    r[CatalogueRecord::WorkAreas] = areas;
    r[CatalogueRecord::Description] = description;
    return r;
}

Recordset recordsetOf(std::vector<CatalogueRecord> records)
{
    return Recordset(std::move(records));
}

void writeCatalogue(const QString &folder, const std::vector<CatalogueRecord> &records)
{
    const QString error = CatalogueWriter::write(CatalogueStore::databasePath(folder), records);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}
