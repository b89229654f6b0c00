#include "TestCatalogue.h"

#include "catalogue/CatalogueStore.h"
#include "catalogue/CatalogueWriter.h"

#include <QTest>

CatalogueRecord record(const QString &name, const QString &declaration, const QString &library,
                       const QString &areas, const QString &description, const QString &vba7)
{
    CatalogueRecord r;
    r[CatalogueRecord::FunctionName] = name;
    r[CatalogueRecord::Declaration] = declaration;
    r[CatalogueRecord::Library] = library;
    r[CatalogueRecord::WorkAreas] = areas;
    r[CatalogueRecord::Description] = description;
    r[CatalogueRecord::Vba7Declaration] = vba7;
    return r;
}

Recordset recordsetOf(std::vector<CatalogueRecord> records)
{
    return Recordset(std::move(records));
}

void writeCatalogue(const QString &folder, const std::vector<CatalogueRecord> &records, int columns)
{
    const QString error = CatalogueWriter::write(CatalogueStore::databasePath(folder), records, columns);
    if (!error.isEmpty())
        QTest::qFail(qPrintable(error), __FILE__, __LINE__);
}
