#pragma once

#include <cstdio>
#include <cstdlib>

// Ends the run with the rule that broke: libFuzzer keeps the input that broke it.
inline void check(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}
