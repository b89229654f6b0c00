#include "FakeMainView.h"
