// Shell shortcuts (".lnk" files) of the setup script, in the shell folders
// of the folder codes (ShortcutText.h), with the shell told of every file
// and folder created or removed, and the installation log of each one. Each
// call initialises COM for itself and releases everything it opened, so the
// functions run on any thread.
#pragma once

#include <windows.h>
#include <setupapi.h>

// Creates or replaces the shortcut "<folder of code>\<name>.lnk" to
// `target` with `arguments`, the icon `iconNumber` of `iconFile`, and the
// target's directory as working directory. Sub-folders named in `name`
// ("Vantor\Tools\Modem Test") are created as needed; a name that climbs out
// of the folder ("..") is refused. With `openFolder` the folder that holds
// the shortcut is shown afterwards. Returns 1 when the shortcut was saved,
// else 0 with the thread's last error (an HRESULT for COM failures).
int CreateShortcut(const char* code, const char* name, const char* target, const char* arguments,
                   const char* iconFile, int iconNumber, int openFolder);

// Deletes the shortcut "<folder of code>\<name>.lnk", then every sub-folder
// of its name that is empty now, innermost first, never the shell folder
// itself. Always returns 1.
int DeleteShortcut(const char* code, const char* name);

// For each section named by the `MakeIcons` key of `section`, creates the
// shortcut of every line (fields: code, name, target, arguments, icon file,
// icon number, open folder); then for each section named by `DelIcons`,
// deletes the shortcut of every line (code, name). Lines lacking a required
// field, or whose name or target is longer than 255 characters (logged), are
// skipped; with `quiet` no folder is opened. Results are not
// reported: always returns 1.
int ProcessShortcutKeys(HINF script, const char* section, int quiet);
