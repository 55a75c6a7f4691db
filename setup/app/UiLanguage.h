// The installer's user-interface language: the user's language matched
// against the languages the program's resources exist in.
#pragma once

#include <windows.h>

#include <cstddef>

// The resource that decides which languages the program speaks: the
// welcome page of the wizard.
enum : UINT { kLanguageDialogId = 1107 };

// The user's UI language; 1033 when it cannot be read. NT 5 and later:
// GetUserDefaultUILanguage (looked up at run time). Older NT: the "Locale"
// value of HKEY_USERS\.DEFAULT\Control Panel\International. Windows 9x: the
// default value of HKEY_CURRENT_USER\Control Panel\Desktop\ResourceLocale.
// A registry value counts only as a text value of at most 16 bytes, read as
// a hexadecimal number.
LANGID UserUiLanguage();

// The languages in which dialog `dialogId` of `module` exists, in the
// order the system lists them; at most `capacity`. Returns the count.
size_t DialogLanguages(HINSTANCE module, UINT dialogId, LANGID* languages, size_t capacity);

// The UI language of the program: the user's language chosen among the
// languages of dialog kLanguageDialogId (see ChooseUiLanguage).
LANGID ChooseProgramLanguage(HINSTANCE module);
