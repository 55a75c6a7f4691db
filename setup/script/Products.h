// The products section of the setup script and the global component list.
// A product line:
//   key = display name, install section, remove section, flags, icon,
//         description, version
// Flags (decimal): 1 offered for installation, 2 checked by default,
// 4 restart after installing, 8 may ask for the Windows CD.
#pragma once

#include <windows.h>

#include <setupapi.h>

#include <cstddef>

enum : int {
    kProductOffered = 1,
    kProductPreselected = 2,
    kProductNeedsRestart = 4,
    kProductNeedsCd = 8,
};

// Size of the failure text buffer a failing condition writes into.
enum : size_t { kFailureTextSize = 1024 };

// Evaluates the `Conditions` of a script section: 1 when they hold; 0 when
// one failed, after writing its failure text (possibly empty) to
// `failureText` (kFailureTextSize bytes).
using ConditionsHook = int (*)(HINF script, const char* section, char* failureText);

// Binds the condition evaluation (null: the built-in one, under which
// every condition holds). Returns the previous binding. Main thread only.
ConditionsHook SetConditionsHook(ConditionsHook hook);

// The bound condition evaluation.
int EvaluateConditions(HINF script, const char* section, char* failureText);

// Fills the global component list from `productsSection`. In remove mode
// (`removeMode` non-zero) every line qualifies; in install mode only lines
// whose flags have kProductOffered and whose install section's conditions
// hold. Lines with an empty key are never added; an entry starts selected
// when its flags have kProductPreselected. Returns the number of entries.
// A section without lines gives 1 and an empty list. When nothing was
// added, the failure text of the last failing condition (empty when none
// failed) is shown in a failure box owned by `owner` and 0 is returned.
int ReadProducts(HINF script, HWND owner, HINSTANCE module, const char* productsSection, int removeMode);
