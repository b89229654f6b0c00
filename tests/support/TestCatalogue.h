#pragma once

#include "catalogue/CatalogueRecord.h"
#include "catalogue/Recordset.h"

#include <QString>

#include <initializer_list>
#include <vector>

// A record from its six fields, in table order.
CatalogueRecord record(const QString &name, const QString &declaration = QString(),
                       const QString &library = QString(), const QString &areas = QString(),
                       const QString &description = QString(), const QString &vba7 = QString());

// An in-memory recordset over the given records.
Recordset recordsetOf(std::vector<CatalogueRecord> records);

// Writes API.mdb with the records into the folder; fails the test on error.
// columns: 5 writes an older catalogue, without the VBA7 declarations.
void writeCatalogue(const QString &folder, const std::vector<CatalogueRecord> &records,
                    int columns = CatalogueRecord::fieldCount);
