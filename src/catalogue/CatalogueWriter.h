#pragma once

#include "CatalogueRecord.h"

#include <QString>

#include <vector>

// Writes a catalogue database: table API with the nine text columns (or, for the tests of
// an older catalogue, the first five or six), rows in the given order. Used by the build (from the source text), by the tests and by the benchmarks;
// the program itself never writes its catalogue.
namespace CatalogueWriter {

// Replaces databaseFile. Returns an empty text on success, else what went wrong.
QString write(const QString &databaseFile, const std::vector<CatalogueRecord> &records,
              int columns = CatalogueRecord::fieldCount);

} // namespace CatalogueWriter
