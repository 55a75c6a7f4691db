// Text rules of a removal that runs from a copy of the installer. Plain
// text logic without windows.h.
//
// A removal started from the product's installed folder (its uninstall
// entry's command) would delete its own running program, which Windows can
// only do at the next restart. So that program copies itself, its script
// and the plug-in libraries the script names into a new folder for
// administrators, "removal-" and 16 hexadecimal digits below the Windows
// folder's Temp, and starts that copy with its own command line and the
// internal switch kRemovalCopySwitch; the copy does the removal.
#pragma once

#include <cstddef>
#include <string>

// The internal switch of the copy (a whole token, any case). It is not in
// the usage, and a program that does not run from a copy's folder refuses it.
extern const char kRemovalCopySwitch[];

// The name of a copy's folder: the prefix, then 16 hexadecimal digits.
extern const char kRemovalCopyPrefix[];

// Whether `name` (the folder's own name, without the path above it) is the
// name of a copy's folder: kRemovalCopyPrefix, any case, followed by exactly
// 16 hexadecimal digits.
bool IsRemovalCopyFolderName(const char* name);

// The program part of a registered command such as an uninstall entry's
// `"C:\Program Files\Vantor\Modem Tools\setup.exe" /remove:ModemTest`: the
// text inside the leading double quotes, or without quotes the text up to
// the first blank. False (and `program` empty) for a quote that is not
// closed, an empty program, or one that does not fit `size` bytes.
bool CommandProgram(const char* command, char* program, size_t size);

// Splits `path` at its last backslash: the folder (without the backslash;
// "C:\" for a file in a drive's root) goes to `folder`, the name to `name`.
// False (both empty) when there is no backslash or a part does not fit.
bool SplitProgramPath(const char* path, char* folder, size_t folderSize, char* name, size_t nameSize);

// Whether a library the script names can be taken along into the copy's
// folder: a plain file name, without a folder, drive, stream colon or
// wildcard, and neither "." nor "..". Libraries named otherwise are looked
// for elsewhere than beside the program: no copy is made for such a script.
bool IsPlainFileName(const char* name);

// The command line of the copy: its program in double quotes, the original
// arguments as they were given (blanks at their ends dropped), and the
// internal switch.
std::string RemovalCopyCommand(const std::string& program, const std::string& arguments);
