#!/bin/bash
# The import check tells the programs apart: a program that imports only the
# allowed DLLs passes, one that imports comctl32 (with InitCommonControlsEx,
# which Windows 95 lacks) and version.dll is refused with each of them named.
# usage: check-imports-test.sh CHECK [--release] OBJDUMP GOOD.exe BAD.exe
set -u
check=$1; shift
options=()
[ "$1" = --release ] && { options=(--release); shift; }
objdump=$1 good=$2 bad=$3
status=0

if ! out=$("$check" "${options[@]}" "$objdump" "$good"); then
    echo "FAIL the check refused a program with allowed imports only:"; echo "$out"; status=1
fi

out=$("$check" "${options[@]}" "$objdump" "$bad")
if [ $? -eq 0 ]; then
    echo "FAIL the check passed a program that imports comctl32.dll and version.dll:"; echo "$out"; status=1
fi
for expected in "imports comctl32.dll" "imports version.dll" "imports InitCommonControlsEx"; do
    grep -q "^FAIL .*$expected" <<<"$out" || { echo "FAIL no line naming '$expected' in:"; echo "$out"; status=1; }
done

# An allowed DLL named to be loaded on first use is refused when imported,
# in any case of its name; one the program does not import passes.
out=$("$check" "${options[@]}" --on-first-use "SHELL32.dll user32.dll" "$objdump" "$good")
if [ $? -eq 0 ] || ! grep -q "^FAIL .*imports user32.dll, which it is to load on first use" <<<"$out"; then
    echo "FAIL the check passed a program importing user32.dll named for first use:"; echo "$out"; status=1
fi
if ! out=$("$check" "${options[@]}" --on-first-use "shell32.dll" "$objdump" "$good"); then
    echo "FAIL the check refused a program that does not import shell32.dll named for first use:"; echo "$out"; status=1
fi
[ $status -eq 0 ] && echo "the import check passes the good program and names every bad import and every import due on first use"
exit $status
