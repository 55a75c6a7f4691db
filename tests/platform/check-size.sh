#!/bin/bash
# Fails when a shipped program is larger than its budget in bytes (kB of
# 1000 bytes, as the README's table counts): mdmprobe.exe 400 kB, setup.exe
# 500 kB, in every build. A program that grows past it has taken in a piece
# of the runtime it did not need before (iostreams, the old string ABI, ...):
# the map of its link shows which (docs/development.md, "Program sizes").
# usage: check-size.sh PROGRAM.exe=BUDGET...
set -u
status=0
for pair in "$@"; do
    program=${pair%=*}
    budget=${pair##*=}
    if ! size=$(stat -c %s "$program" 2>/dev/null); then
        echo "FAIL $program: missing"
        status=1
    elif [ "$size" -gt "$budget" ]; then
        echo "FAIL $program: $size bytes, $((size - budget)) over its budget of $budget"
        status=1
    else
        echo "ok   $program: $size of $budget bytes"
    fi
done
exit $status
