#!/bin/bash
# The plans of the shipped medium (installations on Windows 10.0 and 4.10,
# text and JSON, and a removal on 5.1) against the golden files: any change
# of what setup-lint --plan says shows as a difference. After a deliberate
# change, PLAN_GOLDEN_UPDATE=1 rewrites the files; read their diff before
# committing it.
# usage: plan-golden.sh LINT MEDIUM-FOLDER GOLDEN-FOLDER
set -u
lint=$(realpath "$1")
medium=$2
golden=$(realpath "$3")
failures=0
# The medium as shipped (make dist packs these three files): the build's
# loose mdmprobe files beside them are no part of it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$medium/setup.exe" "$medium/setup.inf" "$medium/mdmprobe.cab" "$work/" || exit 2
cd "$work" || exit 2

# check NAME OPTIONS...: the plan of "." with OPTIONS, exit code 0 (the
# shipped medium has no findings).
check() {
    local name=$1; shift
    local output code
    output=$("$lint" --plan . "$@"); code=$?
    if [ "${PLAN_GOLDEN_UPDATE:-}" = 1 ]; then
        printf '%s\n' "$output" > "$golden/$name"
        echo "rewritten $name"
        return
    fi
    if [ "$code" != 0 ]; then
        echo "FAIL $name: exit code $code"; failures=$((failures + 1)); return
    fi
    if ! diff -u "$golden/$name" <(printf '%s\n' "$output"); then
        echo "FAIL $name: the plan differs from $golden/$name"; failures=$((failures + 1)); return
    fi
    echo "ok   $name"
}

check install-10.0.txt --windows 10.0
check install-10.0.json --windows 10.0 --format json
check install-4.10.txt --windows 4.10
check install-4.10.json --windows 4.10 --format json
check remove-5.1.txt --windows 5.1 --remove ModemTest

[ "$failures" = 0 ] || { echo "$failures plan(s) differ"; exit 1; }
