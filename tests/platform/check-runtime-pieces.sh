#!/bin/bash
# Fails when a shipped program carries a piece of the C++ runtime that it
# replaces with its own (docs/development.md, "Program sizes"): the runtime's
# throwing helpers, which build std::length_error and its kin (their type
# names come along), and the name demangler of the runtime's terminate handler.
# Reads the programs as they ship, not a copy linked for a test.
# usage: check-runtime-pieces.sh PROGRAM.exe...
set -u
# What each piece leaves in the file: type names of the exception classes
# the runtime's helpers throw, and texts only the demangler holds.
markers=(
    "St12length_error" "St11logic_error" "St12out_of_range" "St16invalid_argument"
    "(anonymous namespace)" "{anonymous}"
)
status=0
for program in "$@"; do
    if [ ! -f "$program" ]; then
        echo "FAIL $program: missing"
        status=1
        continue
    fi
    found=()
    for marker in "${markers[@]}"; do
        grep -q -a -F -e "$marker" "$program" && found+=("$marker")
    done
    if [ ${#found[@]} -gt 0 ]; then
        printf 'FAIL %s holds the runtime'"'"'s own: %s\n' "$program" "${found[*]}"
        status=1
    else
        echo "ok   $program"
    fi
done
exit $status
