#!/bin/bash
# Fails unless the DLL exports every name of the .def file exactly as
# written there (no "_" prefix, no "@n" suffix).
# usage: check-exports.sh OBJDUMP LIBRARY.dll EXPORTS.def
set -u
objdump=$1 dll=$2 def=$3
names=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
        sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
expected=$(sed -n 's/^[[:space:]]\{1,\}\([A-Za-z_][A-Za-z0-9_]*\)[[:space:]]*$/\1/p' "$def" | sort)
if [ -z "$expected" ] || [ "$names" != "$expected" ]; then
    echo "FAIL $dll exports:"; echo "$names"; echo "expected:"; echo "$expected"
    exit 1
fi
echo "$dll: $(echo $names)"
