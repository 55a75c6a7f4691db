#!/bin/bash
# Fails when a shipped program is larger than its budget in bytes: its size
# when the budget was set plus 5 %, per program and build (the budgets are in
# tests/platform/CMakeLists.txt). A program that grows past it has taken in a
# piece of the runtime it did not need before (iostreams, the old string ABI,
# the demangler, ...): the map of its link shows which (docs/development.md,
# "Program sizes", also says how to raise a budget on purpose).
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
