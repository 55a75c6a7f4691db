// Version texts: dotted decimal numbers such as "2.1.0.17", any count of
// parts. Plain text logic without windows.h.
#pragma once

// Compares `given` with `installed` part by part. Each part is read with
// the standard decimal conversion (leading white space and a sign allowed,
// no digits read as 0, values beyond the 32-bit range held at its limits).
// The walk stops at the first unequal pair, or when either text does not go
// on with "." right after its number; the result is the given text's last
// number minus the installed text's, held within the int range. So "2.1.0"
// equals "2.1.0.5" (the shorter text stops the walk) and "2.10" is newer than
// "2.9". Negative: the installed version is newer.
int CompareVersionTexts(const char* given, const char* installed);
