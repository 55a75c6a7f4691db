// The two bold fonts of the setup wizard: the title font of the exterior
// pages and the text font of the header titles. The caller owns the font
// and deletes it when the run ends.
#pragma once

#include <windows.h>

constexpr int kWizardTitleFont = 1;  // 12 points
constexpr int kWizardTextFont = 2;   // 8 points

// Creates font `kind` for wizard `style` (0 classic, otherwise Wizard 97)
// at the vertical resolution of `dc`. nullptr for another kind.
HFONT CreateWizardFont(HDC dc, int kind, int style);
