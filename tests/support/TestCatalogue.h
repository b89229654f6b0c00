#pragma once

#include "catalogue/CatalogueRecord.h"
#include "catalogue/Recordset.h"

#include <QString>

#include <vector>

// A record from its six fields, in table order.
CatalogueRecord record(const QString &name, const QString &declaration = QString(),
                       const QString &library = QString(), const QString &areas = QString(),
                       const QString &description = QString(), const QString &vba7 = QString());

// An in-memory recordset over the given records.
inline Recordset recordsetOf(std::vector<CatalogueRecord> records) { return Recordset(std::move(records)); }

// Writes API.mdb with the records into the folder, failing the test on error; 5 columns
// make an older catalogue, without the VBA7 declarations.
void writeCatalogue(const QString &folder, const std::vector<CatalogueRecord> &records,
                    int columns = CatalogueRecord::fieldCount);
