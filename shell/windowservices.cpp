#include "shell/windowservices.h"

// The templates are fixed; the makers and services stay null until the
// program (shell/wiring.cpp) or a test fills them.
CWindowServices g_windowServices = {
    {},
    {100, 133, 185, 193, 213, 412, 180, 181, 348, 196, 384},
    nullptr,
    nullptr,
    nullptr,
};
