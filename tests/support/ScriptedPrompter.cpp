#include "ScriptedPrompter.h"
