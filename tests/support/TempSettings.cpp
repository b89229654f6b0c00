#include "TempSettings.h"
