#pragma once

#include "catalogue/CatalogueRecord.h"

#include <vector>

// A catalogue of `count` records shaped like the shipped one (Latin names of 7 to 26
// characters, declarations of 80 to 200, one to three of 150 Persian areas, Persian
// descriptions of 200 to 600 characters), the same for every run.
std::vector<CatalogueRecord> syntheticCatalogue(int count);
