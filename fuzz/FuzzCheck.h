#pragma once

#include <cstdio>
#include <cstdlib>

// Set by a target that has more to say about the input when a rule breaks.
inline void (*describeInput)() = nullptr;

// Ends the run with the rule that broke: libFuzzer keeps the input that broke it.
inline void check(bool holds, const char *what)
{
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        if (describeInput)
            describeInput();
        std::abort();
    }
}
