// What the picture harnesses share: the application they need, started once,
// and the check that stops a run when a property breaks.
#pragma once

#include "Forms.h"

#include <cstdio>
#include <cstdlib>

inline void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", what);
        std::abort();
    }
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    InitGui();
    return 0;
}
