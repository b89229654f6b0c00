#include "UnwritableFolder.h"
