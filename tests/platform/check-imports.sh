#!/bin/bash
# Fails when a program imports a DLL outside the list below, or imports by
# name a function that older Windows versions lack: the programs look those
# up at run time, so that they still load without them. With --on-first-use,
# it also fails when a program imports one of the DLLs named there: allowed
# ones that the program loads only when a run needs them, because a static
# import would load them (and their own imports) into every run.
# usage: check-imports.sh [--release] [--on-first-use "a.dll b.dll"] OBJDUMP PROGRAM.exe...
set -u
# The programs run from folders that others can write to, and Windows takes a
# DLL that is not a Known DLL from the program's folder first, before WinMain
# could restrict the search. So a program imports only DLLs that are Known
# DLLs on Windows 7 and on Windows 10 alike (the KnownDLLs key under
# HKLM\System\CurrentControlSet\Control\Session Manager) and that ship
# with Windows 95 to XP too. Everything else (comctl32, version, rich edit,
# and the mingw runtime DLLs libstdc++-6, libgcc_s_*, libwinpthread-1) is
# loaded at run time after the search is restricted.
allowed=" advapi32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll oleaut32.dll
          setupapi.dll shell32.dll shlwapi.dll user32.dll "
# Functions that some of the supported Windows versions (95, 98, Me, NT 4,
# 2000, XP) lack. A program that imports one by name does not load there.
# The programs look up the ones they use at run time instead:
late=" InitCommonControlsEx _TrackMouseEvent SetWindowSubclass DefSubclassProc
       RemoveWindowSubclass TaskDialog TaskDialogIndirect DllGetVersion
       GetUserDefaultUILanguage GetSystemDefaultUILanguage SetThreadUILanguage
       MonitorFromWindow MonitorFromPoint MonitorFromRect GetMonitorInfoA
       EnumDisplayMonitors LockSetForegroundWindow AllowSetForegroundWindow
       ConvertStringSecurityDescriptorToSecurityDescriptorA SHAutoComplete
       SHGetFolderPathA SHGetKnownFolderPath GetModuleHandleExA GetModuleHandleExW
       GetNativeSystemInfo IsWow64Process QueryFullProcessImageNameA "
# ... and these come from a compiler runtime built for newer Windows (the
# posix thread model's winpthreads). Checked with --release, for the x86
# release build, whose compiler uses the win32 thread model.
runtime=" GetTickCount64 GetThreadId GetProcessId GetCurrentProcessorNumber
       InitializeSRWLock AcquireSRWLockExclusive AcquireSRWLockShared
       ReleaseSRWLockExclusive ReleaseSRWLockShared TryAcquireSRWLockExclusive
       InitializeConditionVariable SleepConditionVariableCS SleepConditionVariableSRW
       WakeConditionVariable WakeAllConditionVariable InitOnceExecuteOnce
       InitOnceBeginInitialize InitOnceComplete FlsAlloc FlsFree FlsGetValue FlsSetValue
       InitializeCriticalSectionEx CreateEventExA CreateEventExW CreateMutexExA
       CreateMutexExW CreateSemaphoreExW AddVectoredExceptionHandler
       RemoveVectoredExceptionHandler TryEnterCriticalSection "
firstUse=""
while [ $# -gt 0 ]; do
    case $1 in
        --release) late="$late $runtime"; shift ;;
        --on-first-use) firstUse=" $(echo $2 | tr 'A-Z' 'a-z') "; shift 2 ;;
        *) break ;;
    esac
done
# One blank between names, and around the lists, so that a name at the end
# of a line above matches like any other.
allowed=" $(echo $allowed) "
late=" $(echo $late) "
objdump=$1; shift
status=0
for exe in "$@"; do
    if [ ! -f "$exe" ]; then
        echo "FAIL $exe: missing (build every configuration first: make build)"; status=1; continue
    fi
    dlls=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u)
    if [ -z "$dlls" ]; then
        echo "FAIL $exe: no import table found"; status=1; continue
    fi
    for dll in $dlls; do
        case $allowed in
            *" $dll "*) ;;
            *) echo "FAIL $exe imports $dll, which is not a Known DLL of every Windows"; status=1 ;;
        esac
        case $firstUse in
            *" $dll "*) echo "FAIL $exe imports $dll, which it is to load on first use"; status=1 ;;
        esac
    done
    functions=$("$objdump" -p "$exe" | awk '/^\t[0-9a-f]+\t +[0-9]+  [^ ]+$/ {print $3}')
    for function in $functions; do
        case $late in
            *" $function "*) echo "FAIL $exe imports $function, which older Windows lacks"; status=1 ;;
        esac
    done
    echo "$exe: $(echo $dlls)"
done
exit $status
