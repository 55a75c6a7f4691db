// Condition libraries: whether an installation may run and whether a
// product is offered. A section's `Conditions` key names condition sections;
// each of their lines names a library (in the program's directory) and the
// export to call:
//   [Install]            Conditions = NeedsNT, NeedsAdmin
//   [NeedsNT]            checks.dll, IsWindowsNT
#pragma once

#include <windows.h>

#include <setupapi.h>

// Evaluates the `Conditions` of `section`: 1 when they hold (also when the
// section has no such key); 0 when a condition section is missing or empty
// or one of its lines fails. A line fails when its library cannot be
// loaded, fails the version gate or lacks the named export, or when the
// export returns 0; then the library's GetLastFailMessage text (empty
// without that export) is written to `failureText` (kFailureTextSize
// bytes, always terminated). Each library is loaded for its line only and
// unloaded again. Main thread.
//
// Start-up binds it for the products section with
// SetConditionsHook(CheckConditions) and calls it for the install section.
int CheckConditions(HINF script, const char* section, char* failureText);
