#!/bin/bash
# Fails when a program imports a DLL that does not ship with Windows (for
# example the mingw runtime DLLs libstdc++-6, libgcc_s_*, libwinpthread-1), or
# imports by name a function that older Windows versions lack: the programs
# look those up at run time, so that they still load without them.
# usage: check-imports.sh OBJDUMP PROGRAM.exe...
set -u
objdump=$1; shift
allowed=" advapi32.dll comctl32.dll comdlg32.dll gdi32.dll kernel32.dll msvcrt.dll ole32.dll
          oleaut32.dll setupapi.dll shell32.dll shlwapi.dll user32.dll version.dll "
# Common-controls functions newer than the comctl32 of Windows 95 / NT 4.
late=" InitCommonControlsEx _TrackMouseEvent SetWindowSubclass DefSubclassProc
       RemoveWindowSubclass TaskDialog TaskDialogIndirect DllGetVersion "
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
            *) echo "FAIL $exe imports $dll, which Windows does not ship"; status=1 ;;
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
