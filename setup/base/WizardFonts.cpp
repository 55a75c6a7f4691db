#include "WizardFonts.h"

HFONT CreateWizardFont(HDC dc, int kind, int style)
{
    int points = 0;
    const char* face = nullptr;
    if (kind == kWizardTitleFont) {
        points = 12;
        face = style ? "Verdana" : "Arial";
    } else if (kind == kWizardTextFont) {
        points = 8;
        face = style ? "MS Shell Dlg" : "MS Sans Serif";
    } else {
        return nullptr;
    }
    int height = -(points * GetDeviceCaps(dc, LOGPIXELSY) / 72);
    return CreateFontA(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, 0, 0, 0, 0, 0, face);
}
