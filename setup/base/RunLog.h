// The installation log of /log:FILE: what a run did, for the person who
// reads it after a deployment. Appended to, never truncated; every line is
// one write of its own, so a run that is killed leaves every line it
// wrote, and lines of different threads do not tear. A log that cannot be
// opened or written changes nothing else in the run (one debug-log line).
//
// Item lines name what was done with the words of `setup-lint --plan`
// (copy, delete, make-folder, set-value, create-shortcut, run, ...) and
// what it was done to, then after two blanks how it went:
//   06:40:12 copy C:\Program Files\Vantor\Modem Tools\mdmprobe.exe  replaced
// Other lines (the header, restart reasons, the end) say what they are.
#pragma once

// Opens the log for appending and writes its header: local date and time,
// setup's version, the command line, the Windows version, the user and
// whether the process runs elevated. False when the file cannot be opened
// or is refused (a device, a link): one debug-log line says why.
bool RunLogOpen(const char* path);

// Whether a log is open (callers that would build a text only for the log
// ask first).
bool RunLogOpened();

// One line "HH:MM:SS action subject" and, when `detailFormat` is not null,
// two blanks and the formatted detail. Nothing without a log.
void RunLogAction(const char* action, const char* subject, const char* detailFormat = nullptr, ...)
    __attribute__((format(printf, 3, 4)));

// One free line "HH:MM:SS text". Nothing without a log.
void RunLogPrint(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The last line, "exit N (meaning)", and the log is closed.
void RunLogClose(int exitCode);
