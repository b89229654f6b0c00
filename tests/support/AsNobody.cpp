#include "AsNobody.h"
