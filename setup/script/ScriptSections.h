// The install, remove and products sections of the setup script that apply
// to the running Windows version.
#pragma once

#include <windows.h>

#include <setupapi.h>

// The three chosen section names (the longest is 15 characters).
struct ScriptSections
{
    char install[32];
    char remove[32];
    char products[32];
};

// Reads the Windows version once and chooses each of the three names on its
// own: the best candidate for the version that has at least one line in the
// script, else the plain "Install", "Remove" or "Products". Always 1.
int ChooseSections(HINF script, ScriptSections* sections);
