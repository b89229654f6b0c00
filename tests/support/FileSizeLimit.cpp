#include "FileSizeLimit.h"
